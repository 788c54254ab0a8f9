#!/usr/bin/env bash
# Takes a screenshot of the demo program (Quorlane.exe with the simulated phone) as a user sees it.
#
#   tools/screenshot.sh OUTPUT.png [WINEPREFIX]
#
# The demo comes from $QUORLANE_BUILD_DIR/demo (default: build/windows of this repository) and is
# copied to a temporary folder first, so the build's demo folder stays clean. WINEPREFIX defaults
# to the build tree's own prefix, set up like every prefix of the project (tools/setup.sh). With
# QUORLANE_SCREENSHOT_DPI set (say 144), the screen has that many dots per inch; unless WINEPREFIX
# is given, such a screenshot is taken in a prefix of its own (wineprefix-144dpi beside the
# build's), so the tests' prefix stays at 96, and the virtual desktop grows with it from 800 x 600.
# Without $DISPLAY a private Xvfb is started and stopped again.
# The program runs in a Wine virtual desktop (Xvfb has no window manager to draw title bars). At the
# end the Wine prefix's processes are ended (wineserver -k on that prefix only).
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 OUTPUT.png [WINEPREFIX]" >&2
  exit 2
fi
out=$(realpath -m "$1")
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/tools/setup.sh"
build=${QUORLANE_BUILD_DIR:-$repo/build/windows}
build=$(realpath -m "$build")
dpi=${QUORLANE_SCREENSHOT_DPI:-}
if [[ -n $dpi && ! $dpi =~ ^[1-9][0-9]{1,2}$ ]]; then
  echo "QUORLANE_SCREENSHOT_DPI must be a number of dots per inch, such as 144" >&2
  exit 2
fi
default_prefix=$build/wineprefix
[[ -n $dpi && $dpi != 96 ]] && default_prefix=$build/wineprefix-${dpi}dpi
prefix=$(realpath -m "${2:-$default_prefix}")
# The virtual desktop is 800 x 600 at 96 DPI and grows with the DPI, as the window does.
desktop_w=$((800 * ${dpi:-96} / 96))
desktop_h=$((600 * ${dpi:-96} / 96))
demo=$build/demo
wine=${WINE:-/usr/lib/wine/wine64}
timeout_s=${QUORLANE_SCREENSHOT_TIMEOUT:-90}

[[ -x $demo/Quorlane.exe ]] || { echo "no demo in $demo: build it first" >&2; exit 1; }
mkdir -p "$(dirname "$out")" "$prefix"

work=$(mktemp -d)
xvfb_pid=
wine_pid=
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  if [[ -n $wine_pid ]]; then wait "$wine_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
  for n in $(seq 90 120); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "$((desktop_w + 224))x$((desktop_h + 168))x24" -nolisten tcp \
      >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  [[ -n $xvfb_pid ]] || { echo "no free display for Xvfb" >&2; exit 1; }
  for _ in $(seq 100); do
    [[ -e /tmp/.X11-unix/X${DISPLAY#:} ]] && break
    sleep 0.1
  done
fi

quorlane_wine_prefix "$prefix" >&2
if [[ -n $dpi ]]; then
  WINEPREFIX=$prefix /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
fi

cp -r "$demo/." "$work/"
rm -f "$work/fastboot-sim.log"

(
  cd "$work"
  export WINEPREFIX=$prefix LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  exec "$wine" explorer "/desktop=quorlane,${desktop_w}x${desktop_h}" Quorlane.exe
) >/dev/null 2>&1 &
wine_pid=$!

# The window is shown right after the start-up's device query has finished (the simulator logs
# that); then wait until two screenshots in a row are the same, so the window is fully drawn.
log=$work/fastboot-sim.log
deadline=$((SECONDS + timeout_s))
until [[ -f $log ]] && grep -q '^finished:' "$log"; do
  if ((SECONDS > deadline)); then echo "the program did not query the phone in ${timeout_s}s" >&2; exit 1; fi
  if ! kill -0 "$wine_pid" 2>/dev/null; then echo "Wine ended early" >&2; exit 1; fi
  sleep 0.2
done
previous=
while :; do
  import -window root "$work/shot.png"
  current=$(convert "$work/shot.png" rgb:- | md5sum)
  [[ $current == "$previous" ]] && break
  previous=$current
  if ((SECONDS > deadline)); then echo "the screen did not settle in ${timeout_s}s" >&2; break; fi
  sleep 0.5
done
cp "$work/shot.png" "$out"
echo "$out"
