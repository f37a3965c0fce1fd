#!/usr/bin/env bash
# The program without a mouse: a screen reader's client in another process
# reads and presses the controls of the real windows, and keys alone (through
# the X server) tick rows, repair, and open and close both dialogs.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

MAIN='HKCU\Software\Microsoft\Internet Explorer\Main'
MENUEXT='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
wine reg delete "$MENUEXT" /f </dev/null >/dev/null 2>&1 || true
wine reg add "$MENUEXT\\Keyed" /ve /d 'res://e2e.dll/item.htm' /f </dev/null >/dev/null 2>&1
e2e_reg_set "$MAIN" 'Window Title' 'Hijacked'

acc() { wine "$E2E_BUILD/orvane_e2e_acc.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Columns of one child in a dump: id role state name description action.
child() { awk -F '\t' -v id="$2" -v cols="$3" '$1 == id {n = split(cols, c, ","); s = $c[1];
  for (i = 2; i <= n; i++) s = s "|" $c[i]; print s}' <<<"$1"; }
keys() { xdotool key --delay 60 "$@"; sleep 0.4; }
# Dark pixels on the line just above a row's box: the top of a focus rectangle.
focus_line() {  # file row
  e2e_pixels "$1" "300x1+0+$((80 + 29 * $2))" '$1 < 100 && $2 < 100 && $3 < 100'
}

e2e_start

# --- Nothing changes on screen until a key is pressed; reading the tree
# changes nothing either.
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/keys-untouched.png"
expect_eq "no focus rectangle before a key" 0 "$(focus_line "$E2E_SHOTS/keys-untouched.png" 0)"
dump=$(acc dump main)
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/keys-read.png"
expect_eq "reading the tree leaves the window as it was" 0 \
  "$(compare -metric AE "$E2E_SHOTS/keys-untouched.png" "$E2E_SHOTS/keys-read.png" null: 2>&1 || true)"

# --- The main window as a screen reader sees it: id, role, state, name, action.
expect_eq "child count" 24 "$(($(wc -l <<<"$dump") - 1))"
while IFS='|' read -r id role state name action; do
  expect_eq "child $id" "$role|$state|$name|$action" "$(child "$dump" "$id" 2,3,4,6)"
done <<'EOF'
0|10|100004|Orvane|
1|43|100000|设置|按下
2|43|100000|关闭|按下
3|44|100004|无法访问网络，IE打不开网页等等|选中
15|44|110000|系统启动时弹出对话框|选中
16|44|110000|新版浏览器主页被锁定（由组织管理）|选中
17|42|100040|关于|
18|43|100000|全选|按下
20|44|100000|修复后锁定修复项|选中
21|43|100000|立即修复|按下
22|41|0|V1.0.0.9|
24|30|100000|Kestrin|打开
EOF

# The default action of row 2 ticks it, as a click would.
expect_eq "accDoDefaultAction on row 2" 00000000 "$(acc do main 5)"
sleep 0.3
expect_eq "row 2 reads checked" 100010 "$(child "$(acc dump main)" 5 3)"

# --- Keys: the first key shows the focus; Down and space tick row 1, Enter repairs.
keys Down
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/keys-focus.png"
expect_eq "the focus rectangle shows after a key" yes "$([ "$(focus_line "$E2E_SHOTS/keys-focus.png" 1)" -gt 40 ] && echo yes || echo no)"
expect_eq "focus on row 1" 4 "$(acc focus main)"
acc watch main 2500 >"$E2E_ROOT/focus-events.txt" &
watcher=$!
sleep 1
keys Down Up
wait "$watcher" || true
expect_eq "focus changes are announced" "5 4" "$(tr -d '\r' <"$E2E_ROOT/focus-events.txt" | xargs)"
keys space Tab Tab Tab Tab Tab Tab Tab shift+Tab  # row 1 ticked; Tab to row 8 and back to row 7
keys space Return
e2e_wait_value "$MAIN" 'Window Title' 'Microsoft Internet Explorer' || true
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/keys-repaired.png"
for row in 1 2 7; do
  expect_eq "row $row repaired from the keyboard" green "$(e2e_row_result "$E2E_SHOTS/keys-repaired.png" "$row")"
done
expect_eq "row 0 untouched" none "$(e2e_row_result "$E2E_SHOTS/keys-repaired.png" 0)"
expect_eq "row 8 (window title) not ticked" no "$(e2e_row_ticked "$E2E_SHOTS/keys-repaired.png" 8)"
expect_eq "a result is read with its row" "修复成功" "$(child "$(acc dump main)" 4 5)"

# --- Settings: End, then Tab to the settings image (tool bar, repair, settings).
settings_open() {  # keys that press the settings image
  keys "$@"
  e2e_until 30 xdotool search --onlyvisible --name '^设置$' >/dev/null 2>&1 && sleep 0.5  # keys go to it once it has the focus
}
settings_open End Tab Tab Tab Tab Tab space || fail "settings did not open from the keyboard"
expect_eq "settings: the OK image is a button" "43|确定|按下" "$(child "$(acc dump dialog)" 6 2,4,6)"
xdotool type 'esc.example'
keys Escape
e2e_wait_no_other_window || fail "Esc left the settings open"
expect_eq "Esc saves nothing" no "$([ -f "$E2E_APP/Config.ini" ] && echo yes || echo no)"
settings_open space || fail "settings did not open again"  # the focus stayed on the image
keys alt+F4
e2e_wait_no_other_window || fail "Alt+F4 left the settings open"
expect_eq "Alt+F4 saves nothing" no "$([ -f "$E2E_APP/Config.ini" ] && echo yes || echo no)"
expect_eq "Alt+F4 on the dialog leaves the program running" yes "$(e2e_running)"
settings_open Return || fail "settings did not open a third time"
keys End shift+Home
xdotool type 'www.keys.example'
keys Return
e2e_wait_no_other_window || fail "Enter left the settings open"
expect_eq "Enter is OK" "HomePage=http://www.keys.example" "$(grep HomePage "$E2E_APP/Config.ini" | tr -d '\r')"

# --- The context-menu manager: row 10 ticked, Enter; space ticks the line,
# Tab and space clean, and the client's default action on the close image closes it.
# From the settings image: close image, about text, link, row 0.
keys Tab Tab Tab Tab Down Down Down Down Down Down Down Down Down Down space Return
menu=$(e2e_wait_other_window) || fail "the manager did not open from the keyboard"
sleep 0.5
expect_eq "manager lists the entry" "44|Keyed|选中" "$(child "$(acc dump dialog)" 5 2,4,6)"
keys space Tab space
sleep 0.3
expect_eq "the ticked entry is cleaned" no "$(e2e_key_exists "$MENUEXT\\Keyed")"
expect_eq "the close image by the client" "43|关闭|00000000" \
  "$(child "$(acc dump dialog)" 2 2,4)|$(acc do dialog 2)"
e2e_wait_no_other_window || fail "the manager stayed open"

# --- The wheel over the list scrolls it; Shift+F10, the menu key and F5 open
# the check menu at the focused row, wherever the pointer is.
keys Home Down Down Down Down Down Down
xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 200)" "$(e2e_px 200)" click 5 click 5
sleep 0.5
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/keys-wheel.png"
expect_eq "two notches scroll two steps" "yes no" \
  "$(e2e_row_ticked "$E2E_SHOTS/keys-wheel.png" 7 2) $(e2e_row_ticked "$E2E_SHOTS/keys-wheel.png" 7 0)"
pos() { xdotool getwindowgeometry "$1" | awk '/Position/ {split($2, p, ","); print p[1], p[2]}'; }
menu_at_row() {  # key row scroll-steps -> the menu's offset from the row's box, "none" without a menu
  xdotool mousemove --window "$E2E_WINDOW" "$(e2e_px 560)" "$(e2e_px 300)" key "$1"  # over the about text
  local menu row=$(e2e_px "$(e2e_row_y "$2" "$3")")
  menu=$(e2e_wait_other_window) || { echo none; return; }
  set -- $(pos "$E2E_WINDOW") $(pos "$menu")
  keys Escape
  local dx=$(($3 - $1)) dy=$(($4 - $2 - row))
  [ "$dx" -lt "$(e2e_px 60)" ] && [ "$dy" -ge 0 ] && [ "$dy" -le "$(e2e_px 30)" ] && echo below || echo "$dx,$dy"
}
for key in shift+F10 Menu F5; do
  expect_eq "$key: the menu opens below row 6" below "$(menu_at_row "$key" 6 2)"
done

# --- Alt+F4 on the main window ends the program, as its close image does.
keys alt+F4
e2e_until 30 e2e_ended || true
expect_eq "Alt+F4 ends the program" no "$(e2e_running)"

e2e_finish
