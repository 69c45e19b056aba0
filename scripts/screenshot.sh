#!/usr/bin/env bash
# Takes the screenshots of the documentation on a virtual X server:
#   docs/screenshots/menu-file.png  the "ファイル(&F)" menu open, with "プリンタの選択(&C)..." disabled
#                                   because only one printer is usable
#   docs/screenshots/about.png      the About box
#
#   scripts/screenshot.sh [PROGRAM]     PROGRAM defaults to build/release/app/sbq740
#
# A private CUPS server with one simulated printer stands in for the spooler. Needs Xvfb, jwm,
# xdotool and ImageMagick (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
program="${1:-$root/build/release/app/sbq740}"
[ -x "$program" ] || { echo "screenshot: no program at $program (build it first)" >&2; exit 1; }
out="$root/docs/screenshots"
mkdir -p "$out"

work=$(mktemp -d /tmp/sbq740-shots.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$root/scripts/private-cupsd.sh" stop "$work/cups" >/dev/null 2>&1 || true
}
trap cleanup EXIT INT TERM

eval "$("$root/scripts/private-cupsd.sh" start "$work/cups")"

display=:$((120 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
jwm >/dev/null 2>&1 & pids+=($!)
sleep 1

# A copy of the program in its own folder, so that its automatic settings file stays there, with
# its own runtime folder, so that an instance already running elsewhere does not stand in for it.
mkdir -p "$work/app" "$work/runtime" "$work/tmp"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp"
cp "$program" "$work/app/sbq740"
[ -f "$(dirname "$program")/sbq740.html" ] && cp "$(dirname "$program")/sbq740.html" "$work/app/"
"$work/app/sbq740" >"$work/app.log" 2>&1 & app=$!; pids+=("$app")

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^QAV Quillotron 740Q2 " | head -n1) || {
  echo "screenshot: the main window did not appear; see $work/app.log" >&2; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1

# Shoots `window` with its frame, from the screen, so that a drop-down menu over it shows too.
shoot() {  # shoot WINDOW FILE
  import -window "$1" -frame -screen "$2"
}

xdotool key alt+f
sleep 1
shoot "$window" "$out/menu-file.png"
xdotool key Escape Escape
sleep 0.5

xdotool key alt+h
sleep 0.5
xdotool key a
sleep 1
about=$(xdotool getactivewindow)
[ "$about" != "$window" ] || { echo "screenshot: the About box did not appear" >&2; exit 1; }
shoot "$about" "$out/about.png"
xdotool key Return

echo "screenshot: wrote $out/menu-file.png and $out/about.png"
