#!/usr/bin/env bash
# Runs test programs in the build's Wine prefix with the system DPI set to DPI, and sets it back
# to 96 afterwards, however they end.
#   at_system_dpi.sh DPI TEST_EXE... [--gtest_filter=...]
set -euo pipefail
dpi=$1
shift
here=$(dirname "$(realpath "$0")")
run="$here/../../../cmake/wine-run.sh"
set_dpi() {
  "$run" reg add 'HKEY_CURRENT_CONFIG\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1
}
trap 'set_dpi 96' EXIT
set_dpi "$dpi"
# The tests check that they really run at that DPI.
export QUORLANE_SYSTEM_DPI=$dpi
programs=() options=()
for a in "$@"; do
  case $a in --*) options+=("$a") ;; *) programs+=("$a") ;; esac
done
status=0
for p in "${programs[@]}"; do
  echo "== $(basename "$p") at $dpi DPI"
  "$run" "$p" "${options[@]}" || status=1
done
exit $status
