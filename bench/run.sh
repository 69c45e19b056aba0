#!/usr/bin/env bash
# Benchmark of the printer link (see bench/bench.py): builds sbq740 as it ships (the "package"
# preset, in build/package) and the small helpers, then measures start-up, listing and sending in
# one run.
#   bench/run.sh [--skip-start-up | --only-start-up]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="$ROOT/build/package"

cmake --preset package >/dev/null
cmake --build --preset package --target sbq740 >/dev/null

mkdir -p "$BUILD/bench"
CXX="${CXX:-c++}"
if [ ! "$BUILD/bench/bare_dialog" -nt bench/bare_dialog.cpp ]; then
  # shellcheck disable=SC2046
  "$CXX" -O2 -std=c++20 -fPIC bench/bare_dialog.cpp -o "$BUILD/bench/bare_dialog" $(pkg-config --cflags --libs Qt6Widgets)
fi
"$CXX" -O2 -std=c++20 bench/startup_watch.cpp -o "$BUILD/bench/startup_watch" -lX11
"$CXX" -O2 -std=c++20 -I. \
  bench/spooler_probe.cpp spooler/CupsSpooler.cpp spooler/CupsSession.cpp spooler/CupsAttributes.cpp spooler/ConnectionText.cpp spooler/UserAccess.cpp \
  spooler/PrinterList.cpp spooler/PngEncoder.cpp -o "$BUILD/bench/spooler_probe" -lcups -lz -pthread

exec python3 bench/bench.py --sbq740 "$BUILD/app/sbq740" --bare "$BUILD/bench/bare_dialog" \
  --probe "$BUILD/bench/spooler_probe" --watch "$BUILD/bench/startup_watch" --script "$ROOT/scripts/private-cupsd.sh" "$@"
