#!/usr/bin/env bash
# Sets up what is missing, builds the native and the Windows trees, and runs every test: the
# native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer) and the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
quorlane_setup

prefix="$PWD/build/windows/wineprefix"
cleanup() {
  quorlane_stop_wine "$prefix"
  quorlane_stop_display
}
trap cleanup EXIT

cmake --preset linux >/dev/null
cmake --build --preset linux
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --build --preset windows --target package

status=0
ctest --preset linux || status=1

quorlane_start_display
quorlane_wine_prefix "$prefix"
ctest --preset windows || status=1

exit $status
