#!/usr/bin/env bash
# Benchmark of one send to a fleet of queues (see bench/fleet.py): builds a release sbq740-cli in
# build/bench, then times it beside a shell loop of lp -o raw.
#   bench/fleet.sh [--queues N]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="$ROOT/build/bench"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSBQ_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target sbq740-cli -j2 >/dev/null
exec python3 bench/fleet.py --cli "$BUILD/cli/sbq740-cli" --script "$ROOT/scripts/private-cupsd.sh" "$@"
