#!/usr/bin/env bash
# Unpacks the download into a fresh folder, adds the simulated phone (fastboot.exe and the two
# USB library stand-ins) as a user adds the real ones, and starts the program from there.
#   check_package.sh ZIP DEMO_DIR PACKAGE_TEST_EXE
set -euo pipefail
zip=$1 demo=$2 probe=$3
[ -f "$zip" ] || { echo "no package: build the 'package' target first ($zip)"; exit 1; }
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
folder=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
cp "$demo/fastboot.exe" "$demo/AdbWinApi.dll" "$demo/AdbWinUsbApi.dll" "$folder/"
# Wine shows the Linux file system as drive Z:.
windows_folder="Z:$(echo "$folder" | tr / '\\')"
"$here/../../../cmake/wine-run.sh" "$probe" "$windows_folder"
