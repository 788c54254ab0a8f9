#!/usr/bin/env bash
# Unpacks both downloads, x64 and x86, into fresh folders and checks what each holds: the same
# files, with the program and the skin library built for the zip's architecture. Then adds the
# simulated phone (fastboot.exe and the two USB library stand-ins) to the x64 folder, as a user
# adds the real ones, and starts the program from there. (The x86 program cannot run here.)
#   check_package.sh ZIP DEMO_DIR PACKAGE_TEST_EXE X86_ZIP PECHECK
set -euo pipefail
zip=$1 demo=$2 probe=$3 zip86=$4 pecheck=$5
for z in "$zip" "$zip86"; do
  [ -f "$z" ] || { echo "no package: build the 'package' target of its tree first ($z)"; exit 1; }
done
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work/x64"
unzip -q "$zip86" -d "$work/x86"
folder=$(find "$work/x64" -mindepth 1 -maxdepth 1 -type d | head -n 1)
folder86=$(find "$work/x86" -mindepth 1 -maxdepth 1 -type d | head -n 1)
[[ $(basename "$folder") == *-win64 && $(basename "$folder86") == *-win32 ]] || {
  echo "unexpected top folders: $(basename "$folder") $(basename "$folder86")"; exit 1; }

contents() { (cd "$1" && find . -type f | LC_ALL=C sort); }
if ! diff <(contents "$folder") <(contents "$folder86"); then
  echo "the x64 and x86 zips hold different files"; exit 1
fi
machine() {
  python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import pecheck
print(pecheck.MACHINES.get(pecheck.PE(sys.argv[2]).machine, "?"))' "$(dirname "$pecheck")" "$1"
}
for f in Quorlane.exe Config.dll; do
  [ "$(machine "$folder/$f")" = x64 ] || { echo "$f of the x64 zip is not x64"; exit 1; }
  [ "$(machine "$folder86/$f")" = x86 ] || { echo "$f of the x86 zip is not x86"; exit 1; }
done
python3 "$pecheck" check-imports "$(dirname "$pecheck")/reviewed-imports.txt" \
  "$folder/Quorlane.exe" "$folder/Config.dll" "$folder86/Quorlane.exe" "$folder86/Config.dll"

cp "$demo/fastboot.exe" "$demo/AdbWinApi.dll" "$demo/AdbWinUsbApi.dll" "$folder/"
# Wine shows the Linux file system as drive Z:.
windows_folder="Z:$(echo "$folder" | tr / '\\')"
"$here/../../../cmake/wine-run.sh" "$probe" "$windows_folder"
