#!/usr/bin/env bash
# The main window as a person uses it: message 1000 with nothing ticked, lock
# mode holding a repaired value and ending on the next press, select all and
# invert, both dialogs opened from it, dragging, and the close image.
# With ORVANE_E2E_DPI set the same at another display resolution.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

MAIN='HKCU\Software\Microsoft\Internet Explorer\Main'
MENUEXT='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
e2e_reg_set "$MAIN" 'Window Title' 'Hijacked'
wine reg add "$MENUEXT\\E2E Entry" /ve /d 'res://e2e.dll/item.htm' /f </dev/null >/dev/null 2>&1

printf '[IEConfig]\r\nHomePage=http://start.example.org\r\nSEO=http://search.example.org\r\n' >"$E2E_APP/Config.ini"

e2e_start
main_geometry=$(e2e_geometry "$E2E_WINDOW")
expect_eq "main window client size" "$(e2e_size 8895 6195)" "$main_geometry"

# Nothing ticked: a message box captioned "Orvane" over the window.
e2e_press_repair
box=$(e2e_wait_other_window) || box=
expect_eq "message box shown" yes "$([ -n "$box" ] && echo yes || echo no)"
if [ -n "$box" ]; then
  expect_eq "message box caption" Orvane "$(xdotool getwindowname "$box")"
  e2e_shot "$box" "$E2E_SHOTS/message-1000.png"
  xdotool key Return
  e2e_wait_no_other_window || fail "message box still open"
fi

# Lock mode: row 8 (window title) and the lock option, then the button.
e2e_tick_row 8
e2e_tick_lock
e2e_press_repair
for _ in $(seq 1 50); do
  [ "$(e2e_reg_value "$MAIN" 'Window Title')" = 'Microsoft Internet Explorer' ] && break
  sleep 0.1
done
expect_eq "row 8 repaired" 'Microsoft Internet Explorer' "$(e2e_reg_value "$MAIN" 'Window Title')"
for attempt in 1 2 3; do
  e2e_reg_set "$MAIN" 'Window Title' "Changed $attempt"
  sleep 0.2
  expect_eq "lock mode puts the title back within 200 ms ($attempt)" \
    'Microsoft Internet Explorer' "$(e2e_reg_value "$MAIN" 'Window Title')"
done

# The next press with nothing ticked ends lock mode (after message 1000).
e2e_tick_row 8
e2e_press_repair
box=$(e2e_wait_other_window) || box=
[ -n "$box" ] && { xdotool key Return; e2e_wait_no_other_window || fail "message box still open"; }
e2e_reg_set "$MAIN" 'Window Title' 'Changed after'
sleep 0.6
expect_eq "lock mode ended" 'Changed after' "$(e2e_reg_value "$MAIN" 'Window Title')"

# Select all, then invert: every row flips, row 10 included. Rows 0 and 3
# ticked first, so invert must leave the others ticked.
e2e_tick_row 0
e2e_tick_row 3
e2e_invert
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/inverted.png"
for row in 0 1 2 3 4 5 6 7 8; do
  want=yes; [ "$row" = 0 ] || [ "$row" = 3 ] && want=no
  expect_eq "invert: row $row" "$want" "$(e2e_row_ticked "$E2E_SHOTS/inverted.png" "$row")"
done
e2e_select_all
e2e_scroll_down 5
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/all.png"
for row in 9 10 11 12; do expect_eq "select all: row $row" yes "$(e2e_row_ticked "$E2E_SHOTS/all.png" "$row" 5)"; done
e2e_invert
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/none.png"
for row in 4 8 10 12; do expect_eq "select all then invert: row $row" no "$(e2e_row_ticked "$E2E_SHOTS/none.png" "$row" 5)"; done
e2e_scroll_up 5

# The settings dialog, opened modally from the settings image.
e2e_click "$E2E_WINDOW" 555 14
dialog=$(e2e_wait_other_window) || dialog=
if [ -n "$dialog" ]; then
  expect_eq "settings dialog size" "$(e2e_size 5895 3855)" "$(e2e_geometry "$dialog")"
  sleep 0.3
  e2e_shot "$dialog" "$E2E_DOCS/settings-dialog.png"
  # While it is open the main window takes no clicks.
  e2e_press_repair
  sleep 0.3
  expect_eq "main window blocked" 1 "$(e2e_visible_windows | grep -vx "$E2E_WINDOW" | grep -c . || true)"
  e2e_click "$dialog" 377 10  # its close image
  e2e_wait_no_other_window || fail "settings dialog still open"
else
  fail "settings dialog did not open"
fi

# Row 10 opens the context-menu manager.
e2e_scroll_down 5
e2e_tick_row 10 5
e2e_press_repair
manager=$(e2e_wait_other_window) || manager=
if [ -n "$manager" ]; then
  expect_eq "manager size" "$(e2e_size 5895 3855)" "$(e2e_geometry "$manager")"
  sleep 0.3
  e2e_shot "$manager" "$E2E_DOCS/menu-manager.png"
  e2e_click "$manager" 377 10
  e2e_wait_no_other_window || fail "manager still open"
else
  fail "context-menu manager did not open"
fi
e2e_tick_row 10 5
e2e_scroll_up 5

# Dragging by the title picture moves the window; the right button does not.
read -r x0 y0 < <(xdotool getwindowgeometry "$E2E_WINDOW" | awk -F '[ ,]+' '/Position/ {print $3, $4}')
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 120)" "$(e2e_px 20)" mousedown 3 mousemove_relative 40 30 mouseup 3
sleep 0.3
read -r x1 y1 < <(xdotool getwindowgeometry "$E2E_WINDOW" | awk -F '[ ,]+' '/Position/ {print $3, $4}')
expect_eq "right-button drag leaves the window" "$x0,$y0" "$x1,$y1"
# The move follows the pointer once the first motion has started it.
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 120)" "$(e2e_px 20)" mousedown 1
sleep 0.2
for _ in 1 2 3 4 5; do xdotool mousemove_relative 10 6; sleep 0.1; done
xdotool mouseup 1
sleep 0.3
read -r x2 y2 < <(xdotool getwindowgeometry "$E2E_WINDOW" | awk -F '[ ,]+' '/Position/ {print $3, $4}')
expect_eq "left-button drag moves the window" yes "$([ "$x2" -gt "$x0" ] && [ "$y2" -gt "$y0" ] && echo yes || echo no)"

# The close image: the right button does nothing; the left one, released
# off the image, ends the program.
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 577)" "$(e2e_px 14)" click 3
sleep 0.5
expect_eq "right click on close keeps running" yes "$(kill -0 "$E2E_PID" 2>/dev/null && echo yes || echo no)"
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 577)" "$(e2e_px 14)" mousedown 1
sleep 0.2
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 300)" "$(e2e_px 200)"
sleep 0.2
xdotool mouseup 1
ended=no
for _ in $(seq 1 50); do
  kill -0 "$E2E_PID" 2>/dev/null || { ended=yes; break; }
  sleep 0.1
done
expect_eq "close image ends the program" yes "$ended"
expect_eq "window gone" "" "$(xdotool search --onlyvisible --name '^Orvane$' 2>/dev/null || true)"

wine reg delete "$MENUEXT\\E2E Entry" /f </dev/null >/dev/null 2>&1 || true
e2e_finish
