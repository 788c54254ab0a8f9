#!/usr/bin/env bash
# Builds the Windows tree and prints the benchmarks' figures, run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
quorlane_setup
cmake --preset windows >/dev/null
cmake --build --preset windows
prefix="$PWD/build/windows/wineprefix"
trap 'quorlane_stop_wine "$prefix"; quorlane_stop_display' EXIT
quorlane_start_display
quorlane_wine_prefix "$prefix"
export QUORLANE_WINEPREFIX="$prefix"
echo "== the runner collecting 1 and 4 MiB"
cmake/wine-run.sh build/windows/bench/runner_bench.exe
echo "== a command in a job of its own against a plain start"
cmake/wine-run.sh build/windows/bench/job_bench.exe
echo "== live output in the real window"
cmake/wine-run.sh build/windows/bench/live_bench.exe
echo "== a flash with the device list kept current"
cmake/wine-run.sh build/windows/bench/device_list_bench.exe
echo "== a look at the device tree"
cmake/wine-run.sh build/windows/bench/device_tree_bench.exe
echo "== start-up"
cmake/wine-run.sh build/windows/bench/startup_bench.exe
echo "== 64 MiB through Google's fastboot client"
cmake/wine-run.sh build/windows/bench/real_flash_bench.exe
