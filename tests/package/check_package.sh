#!/usr/bin/env bash
# The Debian package as an operator gets it: builds it (scripts/package.sh), checks its files and
# fields, runs lintian, installs it with dpkg into a throwaway root and tries what it installed:
# the desktop entry and the software-centre entry validate, sbq740-cli tells its version, the
# README's lpadmin command makes a CUPS queue of the model from the installed PPD, against a
# scheduler that looks for it where Debian's does, and the window program, started from the
# installed path on a virtual X server, opens with that queue selected, opens its help (F1) and
# sends a group of settings that the simulated printer receives.
#
#   tests/package/check_package.sh [DEB]    DEB: check this package instead of building one
#
# As root, dpkg -i installs into the throwaway root with a copy of this machine's package database
# (so the dependencies are checked against what is installed here, whose libraries the installed
# programs then use). Without root dpkg can't give the files their owners: the package is
# unpacked with dpkg -x instead.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)

step() { echo "package: $*"; }
fail() { echo "package: FAILED: $*" >&2; exit 1; }

wait_until() {  # wait_until SECONDS COMMAND...: poll every 100 ms
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

work=$(mktemp -d /tmp/sbq740-package.XXXXXX)
chmod 755 "$work"  # the scheduler's drivers and backends run as lp and read the PPDs in here
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$root/scripts/private-cupsd.sh" stop "$work/cups" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

if [ $# -ge 1 ]; then
  deb=$(realpath "$1")
else
  step "building the package"
  deb=$("$root/scripts/package.sh" 2>"$work/package.log") || { cat "$work/package.log" >&2; fail "scripts/package.sh"; }
fi
version=$(sed -n 's/^project(Setbridge VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ "$(basename "$deb")" = "setbridge_${version}_amd64.deb" ] || fail "package file name $(basename "$deb")"

# --- What the package holds ---------------------------------------------------------------------
# Every file of the package, with its mode; a pattern stands for a name the build chooses.
expected_files=(
  "-rwxr-xr-x ./usr/bin/sbq740"
  "-rwxr-xr-x ./usr/bin/sbq740-cli"
  "-rw-r--r-- ./usr/share/applications/sbq740.desktop"
  "-rw-r--r-- ./usr/share/doc/setbridge/changelog.gz"
  "-rw-r--r-- ./usr/share/doc/setbridge/copyright"
  "-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/sbq740.png"
  "-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/sbq740.png"
  "-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/sbq740.png"
  "-rw-r--r-- ./usr/share/man/man1/sbq740.1.gz"
  "-rw-r--r-- ./usr/share/man/man1/sbq740-cli.1.gz"
  "-rw-r--r-- ./usr/share/metainfo/*.metainfo.xml"
  "-rw-r--r-- ./usr/share/pixmaps/sbq740.png"
  "-rw-r--r-- ./usr/share/ppd/setbridge/QAV-Quillotron-740Q2.ppd"
  "-rw-r--r-- ./usr/share/sbq740/sbq740.html"
)
step "checking the file list"
dpkg-deb -c "$deb" >"$work/contents"
if grep -v ' root/root ' "$work/contents"; then fail "files not owned by root"; fi
mapfile -t files < <(awk '$1 !~ /^d/ { print $1 " " $6 }' "$work/contents")
for entry in "${files[@]}"; do
  matches=0
  for pattern in "${expected_files[@]}"; do
    # shellcheck disable=SC2053
    [[ "$entry" == $pattern ]] && matches=$((matches + 1))
  done
  [ "$matches" -eq 1 ] || fail "unexpected file in the package: $entry"
done
[ "${#files[@]}" -eq "${#expected_files[@]}" ] || fail "the package lacks files: ${files[*]}"

step "checking the control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = setbridge ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
for needed in libc6 libcups2 libqt6core6 libqt6gui6 libqt6widgets6 fonts-ipafont-gothic qt6-translations-l10n; do
  field Depends | tr ',' '\n' | grep -q "^ *$needed\b" || fail "Depends lacks $needed: $(field Depends)"
done
zcat <(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/setbridge/changelog.gz) | head -n1 \
  | grep -q "^setbridge ($version) " || fail "the changelog's latest entry is not version $version"

step "lintian"
lintian_options=(--fail-on error)
[ "$(id -u)" -ne 0 ] || lintian_options+=(--allow-root)
lintian "${lintian_options[@]}" "$deb" || fail "lintian reports errors"

# --- Installed -----------------------------------------------------------------------------------
target="$work/root"
admin="$target/var/lib/dpkg"
if [ "$(id -u)" -eq 0 ]; then
  step "dpkg -i into $target"
  mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
  cp /var/lib/dpkg/status "$admin/status"
  cp /var/lib/dpkg/info/*.list "$admin/info/"
  touch "$admin/available"
  dpkg --root="$target" --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i"; }
  dpkg-query --admindir="$admin" -W -f='${Status}\n' setbridge | grep -q "install ok installed" \
    || fail "dpkg does not list setbridge as installed"
else
  step "not root: dpkg -x into $target instead of dpkg -i"
  dpkg -x "$deb" "$target"
fi
chmod -R a+rX "$target"

step "desktop-file-validate, appstreamcli validate"
desktop-file-validate "$target/usr/share/applications/sbq740.desktop" || fail "desktop-file-validate"
metainfo=("$target"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate"
# The software-centre entry together with what it names (the desktop entry, the icons).
appstreamcli validate-tree --no-net "$target" || fail "appstreamcli validate-tree"

step "sbq740-cli --version"
[ "$("$target/usr/bin/sbq740-cli" --version)" = "sbq740-cli $version" ] || fail "sbq740-cli --version"

step "the queue made as the README says"
# The README's command, word for word (the manual page gives the same), with the simulated
# printer's address for PRINTER. The scheduler finds the installed PPD as Debian's does: it runs
# where the throwaway root's /usr/share/ppd stands at /usr/share/ppd, and its drivers name that
# folder's PPDs as they name the installed system's. The queue the server starts with goes, so
# that the window finds only the new one.
readme_command=$(sed -n 's/^    sudo \(lpadmin .* -m .*\)$/\1/p' "$root/README.md")
[ "$(grep -c . <<<"$readme_command")" -eq 1 ] || fail "the README does not give one lpadmin -m command"
man_command=$(sed -n 's/\\-/-/g; s/^\(lpadmin .* -m .*\)$/\1/p' "$root/docs/man/sbq740.1")
[ "$man_command" = "$readme_command" ] \
  || fail "the manual page's queue command differs from the README's: $man_command"
[[ "$readme_command" == *" socket://PRINTER:9100 "* ]] || fail "the README's command has no socket://PRINTER:9100"
read -ra words <<<"$readme_command"
if [ "$(id -u)" -eq 0 ]; then
  eval "$(PRIVATE_CUPS_USR_SHARE_PPD="$target/usr/share/ppd" "$root/scripts/private-cupsd.sh" start "$work/cups")"
else
  # The mount namespace needs root: the queue is made from the installed file instead.
  step "not root: the PPD is given by its file (lpadmin -P), not by the README's name"
  eval "$("$root/scripts/private-cupsd.sh" start "$work/cups")"
  words=("${words[@]/#-m/-P}")
  words[-1]="$target/usr/share/ppd/${readme_command##*-m lsb/usr/}"
fi
export CUPS_SERVER
lpadmin -x QAV_Quillotron_740Q2
words=("${words[@]/#socket:\/\/PRINTER:9100/socket://127.0.0.1:$(cat "$work/cups/sim/port")}")
echo "package: ${words[*]}"
"${words[@]}" 2>"$work/lpadmin.log" || { cat "$work/lpadmin.log" >&2; fail "the README's lpadmin command"; }
[ "$("$target/usr/bin/sbq740-cli" printers | cut -f1)" = QAV_Quillotron_740Q2 ] \
  || fail "sbq740-cli printers does not list the queue made with the installed PPD"

step "the installed window program on a virtual X server"
for number in $(seq 150 250); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
export DISPLAY=":$number"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 & pids+=($!)
wait_until 10 xdpyinfo || fail "Xvfb did not start"
jwm >/dev/null 2>&1 & pids+=($!)

# A user of its own: fresh configuration and runtime folders, the system's X11 platform plugin.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
  LANG=C.UTF-8 QT_QPA_PLATFORM=xcb "$target/usr/bin/sbq740" >"$work/sbq740.log" 2>&1 & app=$!; pids+=("$app")
dump_log() { cat "$work/sbq740.log" >&2; }

window() {  # window TITLE-REGEX: the first visible window so titled
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep .
}
wait_until 20 window '^QAV Quillotron 740Q2 セットブリッジ$' || { dump_log; fail "the main window did not appear"; }
main=$(window '^QAV Quillotron 740Q2 セットブリッジ$')
# The only printer is taken on its own: no selection dialog, no message.
sleep 0.5
if window '^プリンタの選択$' || window '^Setbridge$'; then dump_log; fail "the printer was not selected on its own"; fi

xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
xdotool key F1
wait_until 10 window 'セットブリッジ ヘルプ$' || { dump_log; fail "F1 opened no help window"; }

xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
xdotool key ctrl+w
wait_until 10 window '^プリンタへ送信$' || { dump_log; fail "Ctrl+W opened no send dialog"; }
xdotool key Return
job() { find "$work/cups/sim/jobs" -name 'job-*' | grep .; }
wait_until 15 job || { dump_log; fail "the simulated printer received no job"; }
job=$(job)
[ "$(stat -c %s "$job")" -eq 260 ] && head -c 6 "$job" | grep -q $'^\eZ2;1,' \
  || fail "the job is not the 260-byte parameter settings job"
wait_until 10 window '^Setbridge$' || { dump_log; fail "no message after the send"; }
kill -0 "$app" 2>/dev/null || { dump_log; fail "the window program ended"; }

echo "package: all checks passed for $(basename "$deb")"
