#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, GUI on the offscreen platform, and
# the integration tests against a private CUPS server with a simulated printer).
# Usage: scripts/test.sh [preset]   (debug by default; "sanitize" for ASan + UBSan)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-debug}"
scripts/setup.sh "$preset"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" --output-on-failure -j2
