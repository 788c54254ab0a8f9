#!/usr/bin/env bash
# Sets up what is missing, builds, and opens Quorlane against the simulated phone.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
quorlane_setup

cmake --preset windows >/dev/null
cmake --build --preset windows

prefix="$PWD/build/windows/wineprefix"
if [ -n "${DISPLAY:-}" ]; then
  quorlane_wine_prefix "$prefix"
  echo "Opening Quorlane from build/windows/demo (close its window to end)"
  cd build/windows/demo
  WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 /usr/lib/wine/wine64 explorer /desktop=quorlane,800x600 Quorlane.exe
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
else
  tools/screenshot.sh build/screenshot.png "$prefix"
  echo "No display: Quorlane was opened on a private X server; its window is in build/screenshot.png"
fi
