#!/usr/bin/env bash
# Builds orvane.exe and starts it under Wine, then saves a screenshot of the
# main window. With a display of your own the program stays open; without one
# a private Xvfb is used and everything is stopped after the screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/deps.sh

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target orvane

. scripts/wine-env.sh
. scripts/xvfb.sh
own_display=0
if [ -z "${DISPLAY:-}" ]; then
  # The display must exist before the prefix's wineserver starts.
  orvane_xvfb_start
  own_display=1
fi
orvane_wine_env "$root/build/win64"
if [ "$own_display" = 1 ]; then
  trap 'orvane_wine_stop; orvane_xvfb_stop' EXIT
  orvane_wine_stop  # a server started without this display cannot show windows
fi
orvane_wine_prefix

wine "$root/build/win64/orvane.exe" </dev/null >"$ORVANE_WINE_ROOT/orvane.log" 2>&1 &
window=
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --name '^Orvane$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "The Orvane window did not appear; see $ORVANE_WINE_ROOT/orvane.log" >&2
  exit 1
fi
sleep 1  # let it paint

mkdir -p "$root/build/screenshots"
shot="$root/build/screenshots/orvane-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "$shot"
if [ "$own_display" = 0 ]; then
  echo "Orvane is running on $DISPLAY; close it with the × at its top right."
fi
