#!/usr/bin/env bash
# Sets up what is missing, builds the native and the Windows trees (x64 and x86), and runs every
# test: the native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer), the static checks of
# both Windows programs, and the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
quorlane_setup

prefix="$PWD/build/windows/wineprefix"
screen_prefix="$PWD/build/windows/wineprefix-screen"
cleanup() {
  quorlane_stop_wine "$prefix"
  quorlane_stop_wine "$screen_prefix"
  quorlane_stop_display
}
trap cleanup EXIT

cmake --preset linux >/dev/null
cmake --build --preset linux
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --build --preset windows --target package
# The 32-bit program and its zip; its tests are the static checks (it cannot run here), and its
# resources are compared with the 64-bit program's.
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86
cmake --build --preset windows-x86 --target package

status=0
ctest --preset linux || status=1
ctest --preset windows-x86 || status=1

# The Wine tests in two lanes, each a prefix and a display: most run side by side in the first; the
# ones that need the screen to themselves take turns in the second.
quorlane_start_display
quorlane_start_screen_display
quorlane_wine_prefix "$prefix"
DISPLAY="$QUORLANE_SCREEN_DISPLAY" quorlane_wine_prefix "$screen_prefix"
ctest --preset windows || status=1

exit $status
