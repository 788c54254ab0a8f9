#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, in the Wine prefix that belongs to the build
# tree (QUORLANE_WINEPREFIX, set by CTest), with the Chinese locale the program is made for.
set -euo pipefail
: "${QUORLANE_WINEPREFIX:?QUORLANE_WINEPREFIX is not set}"
export WINEPREFIX="$QUORLANE_WINEPREFIX"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=zh_CN.UTF-8
exec /usr/lib/wine/wine64 "$@"
