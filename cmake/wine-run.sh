#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, in the Wine prefix that belongs to the build
# tree (QUORLANE_WINEPREFIX, set by CTest), with the Chinese locale the program is made for. The
# prefix is set up first as tools/setup.sh sets up every prefix of the project (made when missing,
# brought up to date otherwise), so tests run by CTest alone see the same Wine as ./test.sh.
#
# Every Wine process a program starts carries the Unix descriptors of the program that started it,
# whatever the Windows handles say, and lives on when that program is ended from outside at the
# wrong moment (a command created suspended and never resumed). Such a process holding CTest's
# output pipe would keep CTest waiting for the test long after it ended. So the program's output
# goes to a file of its own, shown once it has ended, and CTest's other descriptors (its logs) are
# closed before Wine starts. A program that ends badly says so, with its exit code.
set -euo pipefail
: "${QUORLANE_WINEPREFIX:?QUORLANE_WINEPREFIX is not set}"
here="$(dirname "${BASH_SOURCE[0]}")"
trap 'echo "wine-run.sh: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
source "$here/../tools/setup.sh"
# The tests that need the screen to themselves draw on a display of their own when there is one.
if [ -n "${QUORLANE_ON_SCREEN:-}" ] && [ -n "${QUORLANE_SCREEN_DISPLAY:-}" ]; then
  export DISPLAY="$QUORLANE_SCREEN_DISPLAY"
fi
(quorlane_wine_prefix "$QUORLANE_WINEPREFIX") >&2
export WINEPREFIX="$QUORLANE_WINEPREFIX"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=zh_CN.UTF-8

for descriptor in /proc/$$/fd/*; do
  n=${descriptor##*/}
  if [ "$n" -gt 2 ] && [ "$n" -lt 255 ]; then eval "exec $n>&-" 2>/dev/null || true; fi
done
output=$(mktemp)
program=$$
trap 'rm -f "$output"' EXIT
# Ended (a CTest time-out), it ends the program with it.
trap 'kill "$program" 2>/dev/null; exit 143' TERM INT
/usr/lib/wine/wine64 "$@" </dev/null >"$output" 2>&1 &
program=$!
status=0
wait "$program" || status=$?
cat "$output"
if [ "$status" -ne 0 ]; then
  echo "wine-run.sh: $(basename "$1") ended with exit code $status" >&2
fi
exit "$status"
