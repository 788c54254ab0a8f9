#!/usr/bin/env bash
# Sets up what is missing, builds, and opens Quorlane against a simulated phone.
#
#   ./run.sh          the simulated fastboot (tools/fastboot-sim) as fastboot.exe
#   ./run.sh --real   Google's own fastboot client (built from third_party/) talking to a phone
#                     simulated on the network (tools/fastboot-phone), with generated images in RE\
set -euo pipefail
cd "$(dirname "$0")"
real=0
case "${1:-}" in
  "") ;;
  --real) real=1 ;;
  *) echo "usage: $0 [--real]" >&2; exit 2 ;;
esac
source tools/setup.sh
quorlane_setup

cmake --preset windows >/dev/null
cmake --build --preset windows

prefix="$PWD/build/windows/wineprefix"
if [ $real -eq 0 ]; then
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
  exit 0
fi

# The phone keeps what it receives in build/phone/ (recovery.img, phone.log) and ends itself
# after two hours at the latest.
phone_dir="$PWD/build/phone"
rm -rf "$phone_dir"
mkdir -p "$phone_dir"
python3 tools/fastboot-phone/phone.py --dir "$phone_dir" --port-file "$phone_dir/port" \
  --time-limit 7200 >/dev/null &
phone_pid=$!
stop_phone() {
  touch "$phone_dir/stop"
  wait "$phone_pid" 2>/dev/null || true
}
cleanup() {
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  stop_phone
  quorlane_stop_display
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$phone_dir/port" ] && break; sleep 0.1; done
[ -s "$phone_dir/port" ] || { echo "the simulated phone did not start" >&2; exit 1; }
export ANDROID_SERIAL="tcp:127.0.0.1:$(cat "$phone_dir/port")"
echo "Simulated phone at $ANDROID_SERIAL; what it receives lands in build/phone/"

shot=""
if [ -z "${DISPLAY:-}" ]; then
  quorlane_start_display
  shot="$PWD/build/screenshot-real.png"
fi
quorlane_wine_prefix "$prefix"
cd build/windows/demo-real
echo "Opening Quorlane from build/windows/demo-real with the real fastboot client (close its window to end)"
WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 /usr/lib/wine/wine64 explorer /desktop=quorlane,800x600 \
  Quorlane.exe &
wine_pid=$!
if [ -n "$shot" ]; then
  # No display of our own: wait until the window has settled, keep a picture of it, and end.
  previous=""
  for _ in $(seq 180); do
    sleep 1
    import -window root "$shot.tmp.png" 2>/dev/null || continue
    current=$(convert "$shot.tmp.png" rgb:- | md5sum)
    # Drawn (not the empty black screen of before Wine's desktop) and unchanged since the last look.
    lit=$(convert "$shot.tmp.png" -format '%[fx:maxima>0]' info: 2>/dev/null || echo 0)
    [ "$lit" = 1 ] && [ "$current" = "$previous" ] && break
    previous=$current
  done
  mv "$shot.tmp.png" "$shot"
  echo "No display: Quorlane was opened on a private X server; its window is in build/screenshot-real.png"
else
  wait "$wine_pid" || true
fi
