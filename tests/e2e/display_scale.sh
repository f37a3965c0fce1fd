#!/usr/bin/env bash
# Every window at 96, 120, 144 and 192 dpi (the prefix's display resolution)
# looks like the 96-dpi one made larger: each window is cut out of the screen
# and must be the 96-dpi one's size times the scale; both are then shrunk to a
# quarter of the 96-dpi size (so that smoothing, glyph shapes and where a line
# of text wraps weigh little) and must agree within a tolerance. The pictures
# stay in <build>/e2e/display-scale.
# Arguments: build folder, path of orvane.exe.

# One resolution: the main window, the list scrolled with a row ticked, the
# settings dialog, message 1000, the context-menu and the browser manager.
if [ "${3:-}" = capture ]; then
  . "$(dirname "$0")/lib/e2e.sh"
  e2e_setup
  menuext='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
  for name in Alpha 百度搜索; do
    wine reg add "$menuext\\$name" /ve /d 'res://menu.dll/item.htm' /f </dev/null >/dev/null 2>&1
  done
  trap 'for name in Alpha 百度搜索; do wine reg delete "$menuext\\$name" /f </dev/null >/dev/null 2>&1 || true; done
        e2e_cleanup' EXIT
  out="$E2E_BUILD/e2e/display-scale/$E2E_DPI"
  rm -rf "$out"
  mkdir -p "$out"
  shoot() {  # name [x y]: the window that opened, closed by a click at (x, y) or by Enter
    local w
    w=$(e2e_wait_other_window) || { fail "$1 did not open"; e2e_finish; }
    sleep 0.3
    e2e_shot "$w" "$out/$1.png"
    if [ $# -eq 3 ]; then e2e_click "$w" "$2" "$3"; else xdotool key Return; fi
    gone() { ! e2e_other_windows | grep -qx "$w"; }  # the next window may follow at once
    e2e_until 50 gone || fail "$1 still open"
  }
  e2e_start
  e2e_shot "$E2E_WINDOW" "$out/main.png"
  e2e_click "$E2E_WINDOW" 553 14
  shoot settings 377 10
  e2e_press_repair
  shoot message
  e2e_scroll_down 7
  e2e_tick_row 10 7
  e2e_tick_row 13 7
  sleep 0.2
  e2e_shot "$E2E_WINDOW" "$out/list.png"
  e2e_press_repair
  shoot manager 377 10
  shoot browsers 377 10
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
  ORVANE_E2E_DPI=$dpi bash "$0" "$build" "$2" capture || { echo "FAIL: at $dpi dpi" >&2; failures=$((failures + 1)); }
done

# RMSE over all channels, 0 (same) to 1. Measured: 0.012 to 0.044 for the
# program's windows (the about text wraps differently), up to 0.083 for
# Wine's message box, whose frame and layout do not scale evenly.
tolerance=0.06 box_tolerance=0.12
shots="$build/e2e/display-scale"
for dpi in 120 144 192; do
  for name in main list settings message manager browsers; do
    shot="$shots/$dpi/$name.png" reference="$shots/96/$name.png"
    if [ ! -f "$shot" ] || [ ! -f "$reference" ]; then
      echo "FAIL: $name at $dpi dpi: no screenshot" >&2
      failures=$((failures + 1))
      continue
    fi
    read -r w h < <(identify -format '%w %h\n' "$shot")
    read -r w96 h96 < <(identify -format '%w %h\n' "$reference")
    # The size follows the scale: exactly but for rounding, the message box within 15 %.
    want_w=$(( (w96 * dpi + 48) / 96 )) want_h=$(( (h96 * dpi + 48) / 96 )) slack=1 limit=$tolerance
    [ "$name" = message ] && slack=$(( want_w * 15 / 100 )) limit=$box_tolerance
    if [ $(( (w - want_w) * (w - want_w) )) -gt $(( slack * slack )) ] ||
       [ $(( (h - want_h) * (h - want_h) )) -gt $(( (slack * want_h / want_w + 1) ** 2 )) ]; then
      echo "FAIL: $name at $dpi dpi is ${w}x${h}, expected about ${want_w}x${want_h}" >&2
      failures=$((failures + 1))
      continue
    fi
    small="$(( w96 / 4 ))x$(( h96 / 4 ))!"
    convert "$reference" -resize "$small" "$shots/$dpi/$name-expected.png"
    convert "$shot" -resize "$small" "$shots/$dpi/$name-small.png"
    rmse=$(compare -metric RMSE "$shots/$dpi/$name-small.png" "$shots/$dpi/$name-expected.png" null: 2>&1 |
           sed -E 's/.*\((.*)\).*/\1/' || true)
    if awk -v e="$rmse" -v t="$limit" 'BEGIN { exit !(e <= t) }'; then
      echo "ok: $name at $dpi dpi (${w}x${h}, RMSE $rmse)"
    else
      echo "FAIL: $name at $dpi dpi differs from the 96-dpi one: RMSE $rmse > $limit" >&2
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" = 0 ] && echo "all checks passed"
exit $(( failures > 0 ))
