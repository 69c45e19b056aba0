#!/usr/bin/env bash
# Builds and runs Setbridge (the release build of the window program, and nothing else).
#
#   scripts/run.sh [PROGRAM-ARGUMENTS...]
#       Installs what is missing, builds, and starts the program. Without an installed queue of
#       the "QAV Quillotron 740Q2", a private CUPS server with a simulated printer on loopback
#       stands in for the real one; without a display, the program runs on a virtual X server and
#       a screenshot shows what it displays.
#   scripts/run.sh --check
#       The same road, then a first send, and the end: always with the simulated printer and on a
#       virtual X server, it sends the parameter settings as an operator does (Ctrl+W, "送信"),
#       checks that the simulated printer received the 260-byte job "Setbridge Status Write",
#       acknowledges the result, ends the program through its menu (ファイル, 終了) and exits with
#       0. Anything else ends it with 1, the reason and a screenshot. Every wait has a deadline.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started_at=$SECONDS

check=false
if [ "${1:-}" = --check ]; then
  check=true; shift
  [ $# -eq 0 ] || { echo "run: --check takes no further arguments" >&2; exit 64; }
elif [ "${1:-}" = --help ]; then
  sed -n '2,14p' "$0"; exit 0
fi

say() { echo "run: $*"; }

scripts/setup.sh release sbq740 || { echo "run: the set-up failed; the reason is above" >&2; exit 1; }
program="$root/build/release/app/sbq740"
say "built $program ($((SECONDS - started_at)) s)"

work=$(mktemp -d /tmp/sbq740-run.XXXXXX)
chmod 755 "$work"  # the private scheduler's backends run as lp and read the spool in here
app=""
helpers=()
keep_work=true
running() { [ -n "$1" ] && kill -0 "$1" 2>/dev/null; }
program_ended() { ! running "$app"; }
wait_until() {  # wait_until SECONDS COMMAND...: poll every 0.2 s
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
cleanup() {
  local pid
  # The program first, while its X server still runs, so that it can end in order.
  if running "$app"; then
    kill "$app" 2>/dev/null || true
    wait_until 10 program_ended || kill -KILL "$app" 2>/dev/null || true
  fi
  for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -f "$work/cupsd.started" ]; then
    "$root/scripts/private-cupsd.sh" stop "$work/cups" >/dev/null 2>&1 || true
  fi
  $keep_work || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

has_model_queue() {
  local queue
  for queue in $(timeout 10 lpstat -e 2>/dev/null); do
    timeout 10 lpoptions -p "$queue" 2>/dev/null \
      | grep -q "printer-make-and-model='QAV Quillotron 740Q2'" && return 0
  done
  return 1
}

# The helpers run in sessions of their own: Ctrl+C reaches the program, which then ends while its
# X server and its printer are still there; the clean-up ends them after it.
start_simulated_printer() {
  eval "$(setsid "$root/scripts/private-cupsd.sh" start "$work/cups")"
  export CUPS_SERVER
  touch "$work/cupsd.started"
  say "the simulated printer's jobs and log: $work/cups/sim/jobs, $work/cups/sim/log.txt"
}

window_manager_runs() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

start_virtual_display() {  # Xvfb on a free display (it names the number when ready), then jwm
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  helpers+=($!)
  wait_until 15 grep -qx '[0-9][0-9]*' "$work/display" \
    || { echo "run: the virtual X server did not start (see $work/xvfb.log)" >&2; exit 1; }
  DISPLAY=":$(cat "$work/display")"
  export DISPLAY
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
  setsid jwm >"$work/jwm.log" 2>&1 & helpers+=($!)
  wait_until 10 window_manager_runs \
    || { echo "run: the window manager did not start (see $work/jwm.log)" >&2; exit 1; }
}

window() {  # window TITLE-REGEX: the first visible window so titled
  timeout 10 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep .
}
main_title='^QAV Quillotron 740Q2 セットブリッジ$'
window_or_end() { window "$main_title" || program_ended; }

screenshot() {  # screenshot FILE: the whole virtual screen
  timeout 20 import -window root "$1" 2>/dev/null
}

if ! $check; then
  if [ -z "${CUPS_SERVER:-}" ] && ! has_model_queue; then
    say "no \"QAV Quillotron 740Q2\" queue is installed; starting a private CUPS server with a simulated printer"
    start_simulated_printer
  fi
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    [ -f "$work/cupsd.started" ] || keep_work=false  # the simulated printer's jobs stay to be seen
    status=0
    "$program" "$@" || status=$?
    exit "$status"
  fi
  say "there is no display here; running on a virtual X server instead"
  start_virtual_display
  "$program" "$@" & app=$!
  shot="$work/sbq740.png"
  if ! wait_until 60 window_or_end; then
    say "the window did not appear within 60 s; the screenshot shows what there is"
  elif running "$app"; then
    say "the window is up ($((SECONDS - started_at)) s after the start)"
    sleep 1  # let it finish painting
  fi
  screenshot "$shot" && say "screenshot of the program: $shot"
  running "$app" && say "the program keeps running on $DISPLAY; press Ctrl+C to stop it"
  status=0
  wait "$app" || status=$?
  app=""
  exit "$status"
fi

# --- --check --------------------------------------------------------------------------------------
fail() {  # fail REASON: the reason, a screenshot and the program's last words; exit 1
  local shot="$work/failure.png"
  echo "run: FAILED: $*" >&2
  if screenshot "$shot"; then echo "run: screenshot: $shot" >&2; fi
  echo "run: the program's output ($work/sbq740.log), last lines:" >&2
  tail -n 20 "$work/sbq740.log" >&2 2>/dev/null || true
  echo "run: the simulated printer's log: $work/cups/sim/log.txt" >&2
  exit 1
}

await() {  # await SECONDS WHAT COMMAND...: until COMMAND succeeds; fails after SECONDS or when the program ends
  local seconds="$1" what="$2" deadline=$((SECONDS + $1)) status=0; shift 2
  until "$@" >/dev/null 2>&1; do
    if ! running "$app"; then
      wait "$app" || status=$?
      app=""
      fail "the program ended (exit code $status) while waiting for $what"
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within $seconds s"
    sleep 0.2
  done
}

activate() {  # activate WINDOW: give it the keyboard
  timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 \
    || timeout 10 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
}

say "--check: trying one send to a simulated printer on a virtual X server"
start_simulated_printer
start_virtual_display
say "virtual X server on $DISPLAY"

# A copy of the program in a folder of its own starts from the factory settings and writes its
# "setting" there; its own configuration and runtime folders keep a window already running
# elsewhere from standing in for it.
mkdir -p "$work/app" "$work/config" "$work/runtime" "$work/tmp"
chmod 700 "$work/runtime"
cp "$program" "$work/app/sbq740"
[ -f "$root/build/release/app/sbq740.html" ] && cp "$root/build/release/app/sbq740.html" "$work/app/"
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" \
  "$work/app/sbq740" >"$work/sbq740.log" 2>&1 & app=$!

await 60 "the main window" window "$main_title"
main=$(window "$main_title")
say "the window is up ($((SECONDS - started_at)) s after the start)"
sleep 0.5
if window '^プリンタの選択$' || window '^Setbridge$'; then
  fail "the only printer was not taken on its own (a dialog or a message is open)"
fi
screenshot "$work/sbq740.png" || true

activate "$main"
timeout 10 xdotool key ctrl+w
await 15 "the send dialog (プリンタへ送信) after Ctrl+W" window '^プリンタへ送信$'
dialog=$(window '^プリンタへ送信$')
activate "$dialog"
timeout 10 xdotool key Return   # "送信", the default button, with パラメータ設定値 chosen
await 40 "the result of the send (a Setbridge message box)" window '^Setbridge$'
result=$(window '^Setbridge$')
screenshot "$work/result.png" || true

job_file() { find "$work/cups/sim/jobs" -name 'job-*' | grep .; }
await 15 "job at the simulated printer" job_file
[ "$(job_file | wc -l)" -eq 1 ] || fail "the simulated printer received $(job_file | wc -l) jobs: $(job_file | tr '\n' ' ')"
job=$(job_file)
[ "$(stat -c %s "$job")" -eq 260 ] || fail "the job $job has $(stat -c %s "$job") bytes, not 260"
head -c 6 "$job" | grep -q $'^\eZ2;1,' || fail "the job $job does not begin with the parameter record"

# The scheduler's account of the job: its name, and that the printer took it. Asking for the
# printer's message too has the scheduler read a finished job's stored attributes; without it, a
# job it has put away answers without its name.
cat >"$work/jobs.test" <<'EOF'
{
  OPERATION Get-Jobs
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword which-jobs completed
  ATTR keyword requested-attributes job-name,job-state,job-printer-state-message
  STATUS successful-ok
  DISPLAY job-name
  DISPLAY job-state
  DISPLAY job-printer-state-message
}
EOF
queue_uri="ipp://127.0.0.1:$(cat "$work/cups/cupsd.port")/printers/QAV_Quillotron_740Q2"
completed_job() {
  timeout 10 ipptool -c "$queue_uri" "$work/jobs.test" >"$work/jobs.csv" 2>&1 || return 1
  grep -q '^"\?Setbridge Status Write"\?,completed\(,\|$\)' "$work/jobs.csv"
}
deadline=$((SECONDS + 15))
until completed_job; do
  [ "$SECONDS" -lt "$deadline" ] \
    || fail "the scheduler lists no completed job \"Setbridge Status Write\" within 15 s: $(tr '\n' ' ' <"$work/jobs.csv")"
  sleep 0.2
done
say "the simulated printer received the 260-byte job \"Setbridge Status Write\": $job"

activate "$result"
timeout 10 xdotool key Return
no_window() { ! window "$1"; }
await 10 "the message box to close" no_window '^Setbridge$'

activate "$main"
timeout 10 xdotool key alt+f
sleep 0.5
timeout 10 xdotool key x   # 終了(&X)
deadline=$((SECONDS + 20))
until program_ended; do
  window '^Setbridge$' >/dev/null && fail "the exit asked a question, though nothing was left to send or save"
  [ "$SECONDS" -lt "$deadline" ] || fail "the program did not end within 20 s of ファイル, 終了"
  sleep 0.2
done
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"
[ "$(stat -c %s "$work/app/setting" 2>/dev/null || echo 0)" -eq 282 ] \
  || fail "the exit did not write the 282-byte \"setting\" file beside the program"

keep_work=false
say "check passed: window, send, delivery and exit ($((SECONDS - started_at)) s in all)"
