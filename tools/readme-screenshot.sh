#!/usr/bin/env bash
# Takes the screenshot shown in README.md: the demo's window alone, cut out of the virtual desktop.
#   tools/readme-screenshot.sh [WINEPREFIX]
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT
"$repo/tools/screenshot.sh" "$shot" "$@"
# The virtual desktop is 800 x 600 in the top-left corner; around the window it is one colour.
convert "$shot" -crop 800x600+0+0 +repage -trim +repage "$repo/docs/screenshot.png"
echo "$repo/docs/screenshot.png"
