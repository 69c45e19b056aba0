#!/usr/bin/env bash
# Builds the Debian package setbridge_<version>_amd64.deb and prints its path.
#   scripts/package.sh
# Installs what is missing, builds the release configuration as shipped (the "package" preset:
# release with link-time optimisation, without the tests) in build/package, then runs CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package >&2
cd build/package
rm -f setbridge_*.deb
cpack -G DEB >&2
deb=(setbridge_*_amd64.deb)
[ -f "${deb[0]}" ] || { echo "package: cpack made no package" >&2; exit 1; }
echo "$PWD/${deb[0]}"
