#!/usr/bin/env bash
# Renews the picture in README.md (docs/screenshot.png): the demo with Google's own fastboot client
# in the middle of a real flash, the client's output arriving live. As `./run.sh --real` does, it
# runs the client built from third_party/ beside Quorlane.exe and the phone simulated on the
# network (tools/fastboot-phone); the phone here takes its data slowly and in pieces, so the
# picture catches the transfer half-way. A driver program (mid_flash.exe of the build) puts an
# image's path in the path box, presses Start and waits until the image's second piece is on its
# way; then the screen is taken once it has settled and the window is cut out of it. The image is generated: 1.5 MiB that begin like an Android boot image, in whole 4 KiB
# blocks, as the client splits an image into pieces only by blocks.
#
#   tools/readme-screenshot.sh [OUTPUT.png]      default: docs/screenshot.png
#
# Needs the x64 build (`cmake --build --preset windows`). Uses the build's Wine prefix and a
# private X server when there is no $DISPLAY.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(realpath -m "${1:-$repo/docs/screenshot.png}")
source "$repo/tools/setup.sh"
build=$repo/build/windows
prefix=$build/wineprefix
driver=$build/tests/windows/flash/mid_flash.exe
[[ -x $build/demo-real/Quorlane.exe && -f $build/demo-real/fastboot.exe ]] ||
  { echo "no demo-real in $build: build it first" >&2; exit 1; }
[[ -f $driver ]] || { echo "no $driver: build it first" >&2; exit 1; }

work=$(mktemp -d)
phone_pid=
# The image lies where a user's would, on drive C: of the prefix, and goes again afterwards.
image_dir=$prefix/drive_c/刷机
cleanup() {
  quorlane_stop_wine "$prefix"
  rm -rf "$image_dir"
  if [[ -n $phone_pid ]]; then
    touch "$work/phone/stop"
    wait "$phone_pid" 2>/dev/null || true
  fi
  quorlane_stop_display
  rm -rf "$work"
}
trap cleanup EXIT

# 96 KiB a second and 256 KiB a piece: the image goes in seven pieces, each taking nearly three
# seconds, so the output stands still long enough to be taken.
mkdir -p "$work/phone"
python3 "$repo/tools/fastboot-phone/phone.py" --dir "$work/phone" --port-file "$work/phone/port" \
  --rate $((96 * 1024)) --max-download-size $((256 * 1024)) --time-limit 300 >/dev/null &
phone_pid=$!
for _ in $(seq 100); do [[ -s $work/phone/port ]] && break; sleep 0.1; done
[[ -s $work/phone/port ]] || { echo "the simulated phone did not start" >&2; exit 1; }
export ANDROID_SERIAL="tcp:127.0.0.1:$(cat "$work/phone/port")"

quorlane_start_display
quorlane_wine_prefix "$prefix" >&2
cp -r "$build/demo-real" "$work/app"
cp "$driver" "$work/app/"
mkdir -p "$image_dir"
python3 -c '
import random, sys
random.seed(3)
sys.stdout.buffer.write(b"ANDROID!" + random.randbytes(1536 * 1024 - 8))
' >"$image_dir/recovery.img"
(
  cd "$work/app"
  export WINEPREFIX=$prefix LC_ALL=zh_CN.UTF-8
  # The driver runs in the same virtual desktop as the window it drives, and starts it there.
  exec /usr/lib/wine/wine64 explorer /desktop=quorlane,800x600 mid_flash.exe 2 "C:\\刷机\\recovery.img" result.txt
) >/dev/null 2>&1 &

deadline=$((SECONDS + 120))
until [[ -s $work/app/result.txt ]]; do
  ((SECONDS < deadline)) || { echo "the flash did not get under way in time" >&2; exit 1; }
  sleep 0.2
done
read -r result geometry <"$work/app/result.txt" || true
if [[ $result != ok ]]; then
  cat "$work/app/result.txt" >&2
  exit 1
fi
# The output box and the window settle between two pieces: two shots in a row alike.
previous=
while :; do
  import -window root "$work/shot.png"
  current=$(convert "$work/shot.png" rgb:- | md5sum)
  [[ $current == "$previous" ]] && break
  previous=$current
  ((SECONDS < deadline)) || { echo "the screen did not settle" >&2; exit 1; }
  sleep 0.3
done
# The virtual desktop lies in the top-left corner of the screen, so the window's place on it is its
# place in the picture.
mkdir -p "$(dirname "$out")"
convert "$work/shot.png" -crop "$geometry" +repage "$out"
echo "$out"
