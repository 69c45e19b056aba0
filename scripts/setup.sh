#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need, then configures and builds.
#   scripts/setup.sh [PRESET [TARGET...]]
# PRESET is one of CMakePresets.json's (debug by default); with TARGETs only those are built (and
# what they need), else everything. Safe to run again: apt is skipped when every package is
# present. Progress and errors are shown as they come.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-translations-l10n libqt6svg6
  qt6-wayland libwayland-dev weston
  fonts-ipafont-gothic
  libcups2-dev cups-daemon cups-client cups cups-bsd cups-ipp-utils
  libqrencode-dev zbar-tools
  libxcb1-dev
  xvfb xauth x11-utils imagemagick xdotool jwm
  python3 locales cups-filters
  dpkg-dev fakeroot lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get -o DPkg::Lock::Timeout=300 update -qq
  $SUDO apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${missing[@]}"
fi

# The GUI tests run again under a comma-decimal and a Japanese locale.
LOCALES=(de_DE.UTF-8 ja_JP.UTF-8)
missing_locales=()
for l in "${LOCALES[@]}"; do
  locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || missing_locales+=("$l")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "setup: generating the locales ${missing_locales[*]}"
  for l in "${missing_locales[@]}"; do
    line="$l UTF-8"
    grep -qx "$line" /etc/locale.gen 2>/dev/null || echo "$line" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
fi

preset="${1:-debug}"
targets=("${@:2}")
echo "setup: configuring build/$preset"
cmake --preset "$preset" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  echo "setup: building ${targets[*]} in build/$preset"
  cmake --build --preset "$preset" --target "${targets[@]}"
else
  echo "setup: building everything in build/$preset"
  cmake --build --preset "$preset"
fi
