#!/usr/bin/env bash
# Builds and runs Setbridge. Without an installed queue of the "QAV Quillotron 740Q2", a private
# CUPS server with a simulated printer on loopback stands in for the real one; without a display,
# the program runs on a virtual X server and a screenshot shows what it displays.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh release >/dev/null
program="$root/build/release/app/sbq740"

work=$(mktemp -d /tmp/sbq740-run.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -f "$work/cupsd.started" ] && "$root/scripts/private-cupsd.sh" stop "$work/cups" >/dev/null 2>&1 || true
}
trap cleanup EXIT INT TERM

has_model_queue() {
  local queue
  for queue in $(lpstat -e 2>/dev/null); do
    lpoptions -p "$queue" 2>/dev/null | grep -q "printer-make-and-model='QAV Quillotron 740Q2'" && return 0
  done
  return 1
}

if [ -z "${CUPS_SERVER:-}" ] && ! has_model_queue; then
  echo "run: no \"QAV Quillotron 740Q2\" queue is installed; starting a private CUPS server with a simulated printer"
  started=$("$root/scripts/private-cupsd.sh" start "$work/cups")
  eval "$started"
  touch "$work/cupsd.started"
  echo "run: the simulated printer's jobs and log: $work/cups/sim/jobs, $work/cups/sim/log.txt"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: there is no display here; running on a virtual X server instead"
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
  export DISPLAY=$display
  sleep 1
  jwm >/dev/null 2>&1 & pids+=($!)
  "$program" "$@" & app=$!; pids+=($app)
  sleep 3
  shot="$work/sbq740.png"
  import -window root "$shot"
  echo "run: screenshot of the program: $shot"
  echo "run: the program keeps running on $DISPLAY; press Ctrl+C to stop it"
  wait "$app" || true
else
  "$program" "$@"
fi
