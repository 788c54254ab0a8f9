#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, in the Wine prefix that belongs to the build
# tree (QUORLANE_WINEPREFIX, set by CTest), with the Chinese locale the program is made for. The
# prefix is set up first as tools/setup.sh sets up every prefix of the project (made when missing,
# brought up to date otherwise), so tests run by CTest alone see the same Wine as ./test.sh.
set -euo pipefail
: "${QUORLANE_WINEPREFIX:?QUORLANE_WINEPREFIX is not set}"
source "$(dirname "${BASH_SOURCE[0]}")/../tools/setup.sh"
# The tests that need the screen to themselves draw on a display of their own when there is one.
if [ -n "${QUORLANE_ON_SCREEN:-}" ] && [ -n "${QUORLANE_SCREEN_DISPLAY:-}" ]; then
  export DISPLAY="$QUORLANE_SCREEN_DISPLAY"
fi
(quorlane_wine_prefix "$QUORLANE_WINEPREFIX") >&2
export WINEPREFIX="$QUORLANE_WINEPREFIX"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=zh_CN.UTF-8
exec /usr/lib/wine/wine64 "$@"
