#!/usr/bin/env bash
# A private CUPS server with a simulated QAV Quillotron 740Q2, for the tests and the demo.
#
#   private-cupsd.sh start DIR    start the simulated printer and cupsd (if not running), create
#                                 the queue "QAV_Quillotron_740Q2" against the simulator, and
#                                 print the `export CUPS_SERVER=...` line to use
#   private-cupsd.sh env DIR      print the export lines of a running server
#   private-cupsd.sh stop DIR     stop what `start` started
#   private-cupsd.sh queue DIR NAME URI [MAKE-AND-MODEL]
#                                 create (or update) one more queue; URI "sim" means the
#                                 simulated printer; MAKE-AND-MODEL defaults to the supported one
#
# Everything lives under DIR (created if needed): configuration, spool, logs, the local socket,
# and the simulator's jobs (DIR/sim/jobs, one file per job) and log (DIR/sim/log.txt). cupsd
# listens only on 127.0.0.1 and its local socket. Running `start` again is harmless.
# DIR must be reachable by the `lp` user (a folder under /tmp is): the backends run as lp.
#
# With PRIVATE_CUPS_USR_SHARE_PPD=FOLDER in the environment of `start` (root only), cupsd runs in a
# mount namespace of its own in which FOLDER stands at /usr/share/ppd, where the distribution's
# scheduler finds the PPDs that packages install: its drivers list them as the installed system's
# are listed (`lpadmin -m lsb/usr/SUBFOLDER/NAME.ppd`). The rest of the machine sees nothing of it.
# Used to try the PPD of a package before it is installed.
set -euo pipefail

HERE="$(cd "$(dirname "$0")/.." && pwd)"
PPD="$HERE/tools/ppd/QAV-Quillotron-740Q2.ppd"
SIMULATOR="$HERE/tools/simprinter/simprinter.py"
MODEL="QAV Quillotron 740Q2"
DEFAULT_QUEUE="QAV_Quillotron_740Q2"

die() { echo "private-cupsd: $*" >&2; exit 1; }

usage() {
  sed -n '2,22p' "$0" >&2
  exit 2
}

[ $# -ge 2 ] || usage
command="$1"
mkdir -p "$2"
DIR="$(cd "$2" && pwd)"

running() {  # running PID: the process exists and has not exited (a zombie has)
  local state
  state="$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)" || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

alive() {  # alive PIDFILE NAME: the process recorded in PIDFILE runs and is NAME
  local pidfile="$1" name="$2" pid
  [ -s "$pidfile" ] || return 1
  pid="$(cat "$pidfile")"
  running "$pid" || return 1
  tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -- "$name"
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

server() {  # the CUPS_SERVER value: the local socket when its path fits, else the TCP port
  local socket="$DIR/run/cups.sock"
  if [ "${#socket}" -lt 108 ]; then
    echo "$socket"
  else
    echo "127.0.0.1:$(cat "$DIR/cupsd.port")"
  fi
}

wait_until() {  # wait_until SECONDS COMMAND...: poll every 50 ms
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.05
  done
}

write_config() {
  local port="$1" user="lp" group="lp"
  if [ "$(id -u)" -ne 0 ]; then
    user="$(id -un)"; group="$(id -gn)"
  fi
  mkdir -p "$DIR/etc/ppd" "$DIR/spool/tmp" "$DIR/cache" "$DIR/state" "$DIR/log" "$DIR/run"
  cat >"$DIR/etc/cups-files.conf" <<EOF
User $user
Group $group
SystemGroup $(id -gn)
ServerRoot $DIR/etc
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
FileDevice Yes
EOF
  cat >"$DIR/etc/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
Listen $DIR/run/cups.sock
Browsing No
WebInterface No
LogLevel warn
MaxJobs 0
PreserveJobHistory Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow from 127.0.0.1
  Allow from localhost
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow from 127.0.0.1
    Allow from localhost
  </Limit>
</Policy>
EOF
  echo "$port" >"$DIR/cupsd.port"
  # The backends and filters run as $user and read the PPDs under DIR.
  chmod 0755 "$DIR" "$DIR/etc" "$DIR/etc/ppd"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R root:"$group" "$DIR/spool" "$DIR/cache" "$DIR/state" "$DIR/log"
    chmod 0770 "$DIR/spool" "$DIR/cache" "$DIR/state" "$DIR/log"
    chmod 1770 "$DIR/spool/tmp"
  fi
}

start_simulator() {
  alive "$DIR/sim.pid" simprinter.py && return 0
  mkdir -p "$DIR/sim/jobs"
  rm -f "$DIR/sim/port"
  nohup python3 "$SIMULATOR" --jobs "$DIR/sim/jobs" --log "$DIR/sim/log.txt" \
    --port-file "$DIR/sim/port" >"$DIR/sim/simprinter.out" 2>&1 &
  echo $! >"$DIR/sim.pid"
  wait_until 10 test -s "$DIR/sim/port" || die "the simulated printer did not start (see $DIR/sim/simprinter.out)"
}

start_cupsd() {
  alive "$DIR/cupsd.pid" cupsd && return 0
  write_config "$(free_port)"
  rm -f "$DIR/run/cups.sock"
  local launch=()
  if [ -n "${PRIVATE_CUPS_USR_SHARE_PPD:-}" ]; then
    [ "$(id -u)" -eq 0 ] || die "PRIVATE_CUPS_USR_SHARE_PPD needs root (a mount namespace of cupsd's own)"
    [ -d /usr/share/ppd ] || die "there is no /usr/share/ppd to stand in for (packages cups, cups-filters)"
    # shellcheck disable=SC2016  # the inner shell expands them
    launch=(unshare --mount --propagation private
            sh -c 'mount --bind -o ro "$0" /usr/share/ppd && exec "$@"'
            "$(cd "$PRIVATE_CUPS_USR_SHARE_PPD" && pwd)")
  fi
  nohup "${launch[@]}" /usr/sbin/cupsd -f -c "$DIR/etc/cupsd.conf" -s "$DIR/etc/cups-files.conf" \
    >"$DIR/log/cupsd.out" 2>&1 &
  echo $! >"$DIR/cupsd.pid"
  wait_until 15 lpstat -h "$(server)" -r || die "cupsd did not start (see $DIR/log/)"
}

sim_uri() {
  echo "socket://127.0.0.1:$(cat "$DIR/sim/port")/?contimeout=3"
}

model_ppd() {  # model_ppd MODEL: the PPD file describing MODEL
  local model="$1" file
  if [ "$model" = "$MODEL" ]; then
    echo "$PPD"; return
  fi
  mkdir -p "$DIR/ppd-models"
  file="$DIR/ppd-models/$(printf '%s' "$model" | tr -c 'A-Za-z0-9' '_').ppd"
  sed -e "s|^\*ModelName: .*|*ModelName: \"$model\"|" \
      -e "s|^\*NickName: .*|*NickName: \"$model\"|" \
      -e "s|^\*ShortNickName: .*|*ShortNickName: \"$model\"|" "$PPD" >"$file"
  echo "$file"
}

add_queue() {  # add_queue NAME URI [MODEL]
  local name="$1" uri="$2" model="${3:-$MODEL}" out
  [ "$uri" = "sim" ] && uri="$(sim_uri)"
  # lpadmin warns that PPD files are deprecated; that is expected and not shown. A scheduler that
  # has only just come up may still drop the first connection under load: try a few times.
  for _ in 1 2 3 4 5; do
    if out="$(lpadmin -h "$(server)" -p "$name" -v "$uri" -P "$(model_ppd "$model")" -E 2>&1)"; then
      return 0
    fi
    sleep 0.2
  done
  echo "$out" | grep -v -i 'deprecated' >&2 || true
  die "could not create the queue $name"
}

print_env() {
  echo "export CUPS_SERVER=$(server)"
  echo "# simulated printer: jobs in $DIR/sim/jobs, log in $DIR/sim/log.txt"
}

not_running() { ! running "$1"; }

stop_one() {  # stop_one PIDFILE NAME
  local pidfile="$1" name="$2" pid
  if alive "$pidfile" "$name"; then
    pid="$(cat "$pidfile")"
    kill -TERM "$pid" 2>/dev/null || true
    wait_until 10 not_running "$pid" || kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$pidfile"
}

case "$command" in
  start)
    command -v /usr/sbin/cupsd >/dev/null || die "cupsd is not installed (package cups-daemon)"
    [ -x /usr/lib/cups/backend/socket ] || die "the socket backend is missing (package cups)"
    start_simulator
    start_cupsd
    # The simulator may have come back on another port: point the queue at it again.
    add_queue "$DEFAULT_QUEUE" sim
    print_env
    ;;
  env)
    alive "$DIR/cupsd.pid" cupsd || die "no private cupsd runs in $DIR"
    print_env
    ;;
  stop)
    stop_one "$DIR/cupsd.pid" cupsd
    stop_one "$DIR/sim.pid" simprinter.py
    ;;
  queue)
    [ $# -ge 4 ] || usage
    alive "$DIR/cupsd.pid" cupsd || die "no private cupsd runs in $DIR"
    add_queue "$3" "$4" "${5:-}"
    ;;
  *)
    usage
    ;;
esac
