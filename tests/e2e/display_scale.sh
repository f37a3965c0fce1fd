#!/usr/bin/env bash
# Every window at 96, 120, 144 and 192 dpi (the prefix's display resolution)
# looks like the 96-dpi one made larger: each window is cut out of the screen,
# the 96-dpi picture is enlarged to its size, and the two must agree within a
# tolerance for smoothing and text. The pictures stay in <build>/e2e/display-scale.
# Arguments: build folder, path of orvane.exe.

# One resolution: the main window, the list scrolled with a row ticked, the
# settings dialog, message 1000 and the context-menu manager.
if [ "${3:-}" = capture ]; then
  . "$(dirname "$0")/lib/e2e.sh"
  e2e_setup
  out="$E2E_BUILD/e2e/display-scale/$E2E_DPI"
  mkdir -p "$out"
  e2e_start
  e2e_shot "$E2E_WINDOW" "$out/main.png"

  e2e_click "$E2E_WINDOW" 553 14
  dialog=$(e2e_wait_other_window) || { fail "settings dialog did not open"; e2e_finish; }
  sleep 0.3
  e2e_shot "$dialog" "$out/settings.png"
  e2e_click "$dialog" 377 10
  e2e_wait_no_other_window || fail "settings dialog still open"

  e2e_press_repair
  box=$(e2e_wait_other_window) || { fail "message box did not open"; e2e_finish; }
  sleep 0.3
  e2e_shot "$box" "$out/message.png"
  xdotool key Return
  e2e_wait_no_other_window || fail "message box still open"

  e2e_scroll_down 5
  e2e_tick_row 10 5
  sleep 0.2
  e2e_shot "$E2E_WINDOW" "$out/list.png"
  e2e_press_repair
  manager=$(e2e_wait_other_window) || { fail "manager did not open"; e2e_finish; }
  sleep 0.3
  e2e_shot "$manager" "$out/manager.png"
  e2e_click "$manager" 377 10
  e2e_wait_no_other_window || fail "manager still open"
  e2e_finish
  exit 0
fi

set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
. "$repo/scripts/xvfb.sh"
# Room for the main window at 192 dpi (1186 x 826).
orvane_xvfb_start 2048x1536
trap orvane_xvfb_stop EXIT

failures=0
for dpi in 96 120 144 192; do
  ORVANE_E2E_DPI=$dpi bash "$0" "$build" "$2" capture || failures=$((failures + 1))
done

# RMSE over all channels, 0 (same) to 1.
tolerance=0.06
shots="$build/e2e/display-scale"
for dpi in 120 144 192; do
  for name in main list settings message manager; do
    shot="$shots/$dpi/$name.png" reference="$shots/96/$name.png"
    [ -f "$shot" ] && [ -f "$reference" ] || { echo "FAIL: $name at $dpi dpi: no screenshot" >&2; failures=$((failures + 1)); continue; }
    read -r w h < <(identify -format '%w %h\n' "$shot")
    read -r w96 h96 < <(identify -format '%w %h\n' "$reference")
    # The size follows the scale (message boxes to within a few pixels of text).
    want_w=$(( (w96 * dpi + 48) / 96 )) want_h=$(( (h96 * dpi + 48) / 96 ))
    if [ $(( (w - want_w) * (w - want_w) )) -gt $(( (want_w / 50 + 2) ** 2 )) ] ||
       [ $(( (h - want_h) * (h - want_h) )) -gt $(( (want_h / 50 + 2) ** 2 )) ]; then
      echo "FAIL: $name at $dpi dpi is ${w}x${h}, expected about ${want_w}x${want_h}" >&2
      failures=$((failures + 1))
      continue
    fi
    convert "$reference" -resize "${w}x${h}!" "$shots/$dpi/$name-expected.png"
    rmse=$(compare -metric RMSE "$shot" "$shots/$dpi/$name-expected.png" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/')
    if awk -v e="$rmse" -v t="$tolerance" 'BEGIN { exit !(e <= t) }'; then
      echo "ok: $name at $dpi dpi (${w}x${h}, RMSE $rmse)"
    else
      echo "FAIL: $name at $dpi dpi differs from the 96-dpi one enlarged: RMSE $rmse > $tolerance" >&2
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" = 0 ] && echo "all checks passed"
exit $(( failures > 0 ))
