#!/usr/bin/env bash
# Benchmarks, run by hand (not by CI): they print figures side by side with a
# bare baseline and pass or fail nothing. Usage: bash scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-10}
bash scripts/deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 >/dev/null

. scripts/wine-env.sh
. scripts/xvfb.sh
orvane_xvfb_start
orvane_wine_env "$root/build/win64"
trap 'orvane_wine_stop; orvane_xvfb_stop' EXIT
orvane_wine_stop
orvane_wine_prefix
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

echo "== Start-up until the window is mapped, resident memory 1 s later ($runs runs each)"
echo "   $(date -u +%Y-%m-%d), $(nproc) cores, $(wine --version)"
python3 bench/startup.py "$runs" "$root/build/win64/orvane.exe" "$root/build/win64/orvane_bench_bare.exe"

echo "== Lock mode (items 1-4, 6-9, 11, 12): restore latency, registry calls, CPU"
orvane_wine_stop
bash bench/lock_mode.sh "$root/build/win64" "$root/build/win64/orvane.exe"
