#!/usr/bin/env bash
# The main window as a person uses it, in one run of the program: a second
# start, message 1000 with nothing ticked, lock mode holding a repaired value
# and ending on the next press, select all and invert, the settings dialog
# (OK tidies, applies and saves; close changes nothing; text outside the code
# page), the context-menu manager, dragging, and the close image.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

IE='Software\Microsoft\Internet Explorer'
MAIN="HKCU\\$IE\\Main"
MENUEXT="HKCU\\$IE\\MenuExt"
e2e_reg_set "$MAIN" 'Window Title' 'Hijacked'
wine reg delete "$MENUEXT" /f </dev/null >/dev/null 2>&1 || true
for name in 百度搜索 Beta; do
  wine reg add "$MENUEXT\\$name" /ve /d 'res://menu.dll/item.htm' /f </dev/null >/dev/null 2>&1
done
e2e_reg_set 'HKCU\Software\OrvaneMenuVictim\Sub' keep 2  # Alpha is a link to it, with a subkey
wine "$E2E_BUILD/orvane_e2e_adversary.exe" link HKCU "$IE\\MenuExt\\Alpha" 'Software\OrvaneMenuVictim' </dev/null
for key in "$MAIN" "HKLM\\$IE\\Main"; do wine reg delete "$key" /v 'Start Page' /f </dev/null >/dev/null 2>&1 || true; done
trap 'wine reg delete "$MENUEXT" /f </dev/null >/dev/null 2>&1 || true; e2e_cleanup' EXIT
menu_entries() {  # the manager's entries left in the registry, on one line
  e2e_reg query "$MENUEXT" | sed -n 's/^HKEY_CURRENT_USER\\.*\\MenuExt\\//p' | tr '\n' ' '
}

e2e_start
expect_eq "main window client size" "$(e2e_size 8895 6195)" "$(e2e_geometry "$E2E_WINDOW")"

# A second start brings the running window to the front and ends at once.
status=0
(cd "$E2E_APP" && timeout 20 wine "$E2E_APP/orvane.exe" </dev/null >/dev/null 2>&1) || status=$?
expect_eq "second start's exit status" 0 "$status"
sleep 0.5
expect_eq "windows named Orvane" 1 "$(xdotool search --onlyvisible --name '^Orvane$' 2>/dev/null | wc -l)"
expect_eq "focus on the running window" "$E2E_WINDOW" "$(xdotool getwindowfocus 2>/dev/null || echo none)"

# Nothing ticked: a message box captioned "Orvane" over the window.
e2e_press_repair
box=$(e2e_wait_other_window) || box=none
expect_eq "message box caption" Orvane "$(xdotool getwindowname "$box" 2>/dev/null || echo none)"
xdotool key Return
e2e_wait_no_other_window || fail "message box still open"

# Lock mode: row 8 (window title) and the lock option, then the button.
e2e_tick_row 8
e2e_tick_lock
e2e_press_repair
e2e_wait_value "$MAIN" 'Window Title' 'Microsoft Internet Explorer' || true
expect_eq "row 8 repaired" 'Microsoft Internet Explorer' "$(e2e_reg_value "$MAIN" 'Window Title')"
e2e_reg_set "$MAIN" 'Window Title' 'Changed'  # how fast lock mode restores: lock_watch.sh
e2e_wait_value "$MAIN" 'Window Title' 'Microsoft Internet Explorer' || fail "lock mode did not put the title back"

# The next press with nothing ticked ends lock mode (after message 1000).
e2e_tick_row 8
e2e_press_repair
e2e_dismiss_box || fail "no message box, or it stayed open"
e2e_reg_set "$MAIN" 'Window Title' 'Changed after'
sleep 0.6
expect_eq "lock mode ended" 'Changed after' "$(e2e_reg_value "$MAIN" 'Window Title')"

# Rows 0 and 3 ticked, then invert: every other row flips, row 10 included.
e2e_tick_row 0
e2e_tick_row 3
e2e_invert
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/inverted.png"
for row in 0 1 2 3 4 5 6 7 8; do
  want=yes; [ "$row" = 0 ] || [ "$row" = 3 ] && want=no
  expect_eq "invert: row $row" "$want" "$(e2e_row_ticked "$E2E_SHOTS/inverted.png" "$row")"
done
e2e_select_all
e2e_scroll_down 7
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/all.png"
for row in 9 10 11 12 13; do expect_eq "select all: row $row" yes "$(e2e_row_ticked "$E2E_SHOTS/all.png" "$row" 7)"; done
e2e_invert
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/none.png"
for row in 6 8 10 13; do expect_eq "select all then invert: row $row" no "$(e2e_row_ticked "$E2E_SHOTS/none.png" "$row" 7)"; done
e2e_scroll_up 7

# The settings dialog, opened modally from the settings image; the main window takes no clicks meanwhile.
settings() {  # opens it, or fails
  e2e_click "$E2E_WINDOW" 555 14
  dialog=$(e2e_wait_other_window) || { fail "settings dialog did not open"; return 1; }
  sleep 0.3
}
replace_text() {  # x y text [delay]: click into a box of the dialog, select it all, type over it
  e2e_click "$dialog" "$1" "$2"
  xdotool key End shift+Home
  xdotool type --delay "${4:-20}" "$3"  # characters off the keyboard map need time to be mapped
}
if settings; then
  expect_eq "settings dialog size" "$(e2e_size 5895 3855)" "$(e2e_geometry "$dialog")"
  e2e_shot "$dialog" "$E2E_DOCS/settings-dialog.png"
  e2e_press_repair
  sleep 0.3
  expect_eq "main window blocked" 1 "$(e2e_visible_windows | grep -vx "$E2E_WINDOW" | grep -c . || true)"
  replace_text 150 85 ' www.e2e.example '
  replace_text 150 165 'HTTPS://find.example'
  e2e_click "$dialog" 339 218  # OK
  e2e_wait_no_other_window || fail "settings dialog still open after OK"
fi
expect_eq "Config.ini bytes" "$(printf '[IEConfig]\r\nHomePage=http://www.e2e.example\r\nSEO=HTTPS://find.example\r\n' | od -An -c)" \
  "$(od -An -c "$E2E_APP/Config.ini" 2>/dev/null)"
expect_eq "HKCU start page" http://www.e2e.example "$(e2e_reg_value "$MAIN" 'Start Page')"
expect_eq "HKLM start page" http://www.e2e.example "$(e2e_reg_value "HKLM\\$IE\\Main" 'Start Page')"
expect_eq "search page" HTTPS://find.example "$(e2e_reg_value "HKLM\\$IE\\Search" SearchAssistant)"

# A read-only Config.ini: OK says so and the dialog stays; then close discards the entry.
before=$(od -An -c "$E2E_APP/Config.ini")
chmod a-w "$E2E_APP/Config.ini"
if settings; then
  replace_text 150 85 'www.discarded.example'
  e2e_click "$dialog" 339 218  # OK
  e2e_until 30 test "$(e2e_visible_windows | grep -vxc "$E2E_WINDOW")" = 2 || fail "no message over the dialog"
  xdotool key Return
  e2e_click "$dialog" 377 10  # close
  e2e_wait_no_other_window || fail "settings dialog still open after close"
fi
chmod u+w "$E2E_APP/Config.ini"
expect_eq "Config.ini unchanged by OK and close" "$before" "$(od -An -c "$E2E_APP/Config.ini")"
expect_eq "start page unchanged by close" http://www.e2e.example "$(e2e_reg_value "$MAIN" 'Start Page')"

# Text outside the ANSI code page reaches the registry as typed; Config.ini becomes UTF-16.
if settings; then
  replace_text 150 85 'http://예시.한국/시작' 150
  e2e_click "$dialog" 339 218
  e2e_wait_no_other_window || fail "settings dialog still open"
fi
wine reg export "$MAIN" "$E2E_ROOT/main.reg" /y </dev/null >/dev/null 2>&1
expect_eq "HKCU start page as typed" 'http://예시.한국/시작' \
  "$(iconv -f UTF-16 -t UTF-8 "$E2E_ROOT/main.reg" | tr -d '\r' | sed -n 's/^"Start Page"="\(.*\)"$/\1/p')"
expect_eq "Config.ini byte-order mark" fffe "$(head -c 2 "$E2E_APP/Config.ini" | od -An -tx1 | tr -d ' ')"

# Row 10 opens the context-menu manager: a warning with nothing ticked, then
# the ticked entries go (a link as the link, its target whole).
e2e_scroll_down 5
e2e_tick_row 10 5
e2e_press_repair
manager=$(e2e_wait_other_window) || manager=
if [ -n "$manager" ]; then
  expect_eq "manager size" "$(e2e_size 5895 3855)" "$(e2e_geometry "$manager")"
  sleep 0.3
  e2e_shot "$manager" "$E2E_DOCS/menu-manager.png"
  e2e_click "$manager" 339 227  # clean, nothing ticked
  boxes() { xdotool search --onlyvisible --name '^Orvane$' 2>/dev/null | grep -vxc "$E2E_WINDOW" || true; }
  one_box() { [ "$(boxes)" = 1 ]; }
  e2e_until 50 one_box || true
  expect_eq "message box when nothing is ticked" 1 "$(boxes)"
  xdotool key Return
  sleep 0.3
  expect_eq "nothing deleted without ticks" "Alpha Beta 百度搜索 " "$(menu_entries)"
  e2e_click "$manager" 60 72  # tick line 0
  xdotool key Down Down space
  sleep 0.2
  e2e_click "$manager" 339 227
  expect_eq "ticked entries deleted" "Beta |2" "$(menu_entries)|$(e2e_reg_value 'HKCU\Software\OrvaneMenuVictim\Sub' keep)"
  e2e_click "$manager" 377 10
  e2e_wait_no_other_window || fail "manager still open"
else
  fail "context-menu manager did not open"
fi
e2e_tick_row 10 5
e2e_scroll_up 5

# Dragging by the title picture moves the window; the right button does not.
position() { xdotool getwindowgeometry "$E2E_WINDOW" | awk -F '[ ,]+' '/Position/ {print $3, $4}'; }
read -r x0 y0 < <(position)
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 120)" "$(e2e_px 20)" mousedown 3 mousemove_relative 40 30 mouseup 3
sleep 0.3
read -r x1 y1 < <(position)
expect_eq "right-button drag leaves the window" "$x0,$y0" "$x1,$y1"
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 120)" "$(e2e_px 20)" mousedown 1
sleep 0.2
for _ in 1 2 3 4 5; do xdotool mousemove_relative 10 6; sleep 0.1; done
xdotool mouseup 1
sleep 0.3
read -r x2 y2 < <(position)
expect_eq "left-button drag moves the window" yes "$([ "$x2" -gt "$x0" ] && [ "$y2" -gt "$y0" ] && echo yes || echo no)"

# The close image: the right button does nothing; the left one, released off the image, ends the program.
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 577)" "$(e2e_px 14)" click 3
sleep 0.5
expect_eq "right click on close keeps running" yes "$(e2e_running)"
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 577)" "$(e2e_px 14)" mousedown 1
sleep 0.2
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 300)" "$(e2e_px 200)"
sleep 0.2
xdotool mouseup 1
e2e_until 50 e2e_ended || true
expect_eq "close image ends the program" no "$(e2e_running)"
e2e_finish
