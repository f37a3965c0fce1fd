#!/usr/bin/env bash
# Builds both trees and runs every test: the portable core natively (ASan, UBSan),
# then the Windows programs under the build's own Wine prefix and a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh

cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)"

. scripts/wine-env.sh
. scripts/xvfb.sh
cleanup() {
  (orvane_wine_env "$root/build/win64" && orvane_wine_stop) || true
  orvane_xvfb_stop
}
trap cleanup EXIT

ctest --preset native -j "$(nproc)" --output-on-failure

# The display must exist before the prefix's wineserver starts.
orvane_xvfb_start
(orvane_wine_env "$root/build/win64" && orvane_wine_stop)
ctest --preset win64 -j "$(nproc)" --output-on-failure
