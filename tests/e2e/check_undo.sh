#!/usr/bin/env bash
# Check, backup and undo with real input: right-click on the list, check all,
# orange and grey rows; repair; undo from the menu (F5) brings the damage back;
# a refused write makes a red row whose tool tip appears, and the log names the
# step with error 5. Then orvane-cli from cmd /c: exit codes and --json.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

IE='Software\Microsoft\Internet Explorer'
MAIN_CU="HKCU\\$IE\\Main"
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
BK="$WINEPREFIX/drive_c/ProgramData/Orvane/Backups"
LOCAL_BK="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Orvane/Backups"
IFEO='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options\sethc.exe'
rm -rf "$BK" "$LOCAL_BK" "$E2E_APP/Backups"
wine reg delete "$IFEO" /f </dev/null >/dev/null 2>&1 || true
# Newest by name and by date, in the folders an ordinary user can write: never applied.
plant() { mkdir -p "$1" && printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n"Debugger"="cmd.exe"\r\n\r\n' \
  "${IFEO/HKLM/HKEY_LOCAL_MACHINE}" | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$1/9999-12-31_23-59-59.reg"; }
trap 'e2e_keyaccess unlock HKLM "$IE\\Main" >/dev/null 2>&1 || true; rm -rf "$LOCAL_BK" "$E2E_APP/Backups"; e2e_cleanup' EXIT
printf '[IEConfig]\r\nHomePage=http://start.example.org\r\nSEO=http://search.example.org\r\n' >"$E2E_APP/Config.ini"

# Item 7 damaged in both places; item 8 intact.
e2e_reg_set "$MAIN_CU" 'Start Page' 'http://hijack.example.net'
e2e_reg_set "HKLM\\$IE\\Main" 'Start Page' 'http://hijack.example.net'
e2e_reg_set "$MAIN_CU" 'Window Title' 'Microsoft Internet Explorer'
e2e_reg_set "HKLM\\$IE\\Main" 'Window Title' 'Microsoft Internet Explorer'

# Colours of a row's result text: orange (damaged) or grey (intact, unknown).
e2e_count_check() {  # file row orange|grey
  local y=$(( $(e2e_row_y "$2") - 6 )) filter
  case "$3" in
    orange) filter='$1 >= 150 && $2 >= 50 && $2 <= 190 && $3 <= 130 && $1 - $3 >= 90' ;;
    grey) filter='$1 >= 70 && $1 <= 140 && $1 == $2 && $2 == $3' ;;
  esac
  e2e_pixels "$1" "375x16+20+$y" "$filter"
}
# Opens the check menu with a right-click on the list or F5 and picks line n (1-3) by keys.
e2e_menu_pick() {  # right|f5 n
  if [ "$1" = right ]; then
    xdotool mousemove --window "$E2E_WINDOW" 200 200 click 3
  else
    xdotool mousemove --window "$E2E_WINDOW" 200 200 key F5
  fi
  local menu
  menu=$(e2e_wait_other_window) || { fail "no pop-up menu after $1"; return; }
  sleep 0.3
  import -window root "$E2E_SHOTS/menu-$1.png"
  local i
  for i in $(seq 1 "$2"); do xdotool key Down; done
  xdotool key Return
  sleep 0.5
}

e2e_start
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/check-fresh.png"
expect_eq "no result shown at start" none "$(e2e_row_result "$E2E_SHOTS/check-fresh.png" 7)"

e2e_menu_pick right 1
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/checked.png"
o=$(e2e_count_check "$E2E_SHOTS/checked.png" 7 orange)
g=$(e2e_count_check "$E2E_SHOTS/checked.png" 8 grey)
[ "$o" -gt 10 ] && echo "ok: row 7 orange ($o)" || fail "row 7 not orange ($o)"
[ "$g" -gt 10 ] && echo "ok: row 8 grey ($g)" || fail "row 8 not grey ($g)"
expect_eq "check changed nothing" 'http://hijack.example.net' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"

# Repair row 7: green, with a backup and a log in the machine's protected folder.
e2e_tick_row 7
e2e_press_repair
sleep 1
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/repaired.png"
expect_eq "row 7 after the repair" green "$(e2e_row_result "$E2E_SHOTS/repaired.png" 7)"
expect_eq "start page repaired" 'http://start.example.org' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"
expect_eq "one backup and one log" "1 1" "$(ls "$BK"/*.reg 2>/dev/null | wc -l) $(ls "$BK"/*.log 2>/dev/null | wc -l)"

# Undo from the menu opened by F5; its message box is dismissed with Enter.
plant "$E2E_APP/Backups"
plant "$LOCAL_BK"
sleep 1  # a new second: the undo's own backup gets a name of its own
e2e_menu_pick f5 2
sleep 1
e2e_wait_other_window >/dev/null || fail "no message after the undo"
import -window root "$E2E_SHOTS/undo-message.png"
xdotool key Return
e2e_wait_no_other_window || fail "the undo message stayed open"
expect_eq "undo restored the damage (user)" 'http://hijack.example.net' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"
expect_eq "undo restored the damage (machine)" 'http://hijack.example.net' "$(e2e_reg_value "HKLM\\$IE\\Main" 'Start Page')"
expect_eq "no planted backup applied" '(absent)' "$(e2e_reg_value "$IFEO" Debugger)"
expect_eq "the undo kept its own backup" 2 "$(ls "$BK"/*.reg | wc -l)"

# A refused write: row 7 turns red, its tool tip shows, the log names the step and error 5.
e2e_keyaccess lock HKLM "$IE\\Main"
sleep 1
e2e_press_repair
sleep 1
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/refused.png"
expect_eq "row 7 with the machine key locked" red "$(e2e_row_result "$E2E_SHOTS/refused.png" 7)"
x=$(convert "$E2E_SHOTS/refused.png" -crop "375x16+20+$(( $(e2e_row_y 7) - 6 ))" +repage -depth 8 txt:- | tail -n +2 |
    awk -F'[,:() ]+' '$3 >= 150 && $4 <= 110 && $5 <= 110 && !x {x = $1} END {print x + 0}')
xdotool mousemove --window "$E2E_WINDOW" $((20 + ${x:-0} + 8)) "$(e2e_row_y 7)"
sleep 0.3
xdotool mousemove --window "$E2E_WINDOW" $((20 + ${x:-0} + 10)) "$(e2e_row_y 7)"
tip=$(e2e_wait_other_window) || fail "no tool tip on the red row"
sleep 0.3
import -window root "$E2E_SHOTS/red-tooltip.png"
log=$(ls -t "$BK"/*.log | head -n 1)
grep -q 'HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Main "Start Page"' "$log" && grep -q '(5)' "$log" &&
  echo "ok: the log names the refused step and error 5" || fail "the log lacks the refused step: $(cat "$log")"
e2e_stop

expect_eq "cli scan of damaged item 7" 1 "$(cli scan start-page)"
expect_eq "cli repair with the machine key locked" 1 "$(cli repair 7 --json)"
grep -q '"ok":false,"error":5,' "$E2E_ROOT/cli.out" && echo "ok: --json names error 5" || fail "json: $(cat "$E2E_ROOT/cli.out")"
e2e_keyaccess unlock HKLM "$IE\\Main"
expect_eq "cli repair" 0 "$(cli repair start-page,window-title)"
expect_eq "cli scan after the repair" 0 "$(cli scan 7 8 --json)"
grep -q '"state":"intact"' "$E2E_ROOT/cli.out" && echo "ok: --json intact" || fail "json: $(cat "$E2E_ROOT/cli.out")"
expect_eq "cli undo" 0 "$(cli undo)"
# The newest backup is that of the last repair, taken while the machine value was still damaged.
expect_eq "cli undo restored" 'http://hijack.example.net' "$(e2e_reg_value "HKLM\\$IE\\Main" 'Start Page')"
expect_eq "no planted backup applied by the console program" '(absent)' "$(e2e_reg_value "$IFEO" Debugger)"
# A key the repair created: undo takes away what the repair wrote and keeps what was added since.
SEARCH="HKLM\\$IE\\Search"
wine reg delete "$SEARCH" /f </dev/null >/dev/null 2>&1 || true
expect_eq "cli repair creating Search" 0 "$(cli repair search-page)"
e2e_reg_set "$SEARCH" Added yes && e2e_reg_set "$SEARCH\\Sub" v 1
expect_eq "cli undo of the created key" 0 "$(cli undo)"
expect_eq "added since kept, the repair's value gone" "yes (absent) yes" "$(e2e_reg_value "$SEARCH" Added) $(e2e_reg_value "$SEARCH" SearchAssistant) $(e2e_key_exists "$SEARCH\\Sub")"
printf 'not a registry file' >"$E2E_APP/bad.reg"
expect_eq "cli undo of a malformed file" 1 "$(cli undo bad.reg)"
printf '[IEConfig]\r\nHomePage=http://other.example.org\r\n' >"$E2E_APP/other.ini"
expect_eq "cli repair with a relative --config" 0 "$(cli repair start-page --config other.ini)"
expect_eq "the other configuration was read" 'http://other.example.org' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"

# --json: one ASCII document for every outcome, usage errors and a 300 MB
# --config included; Chinese comes back through the escapes; text is UTF-8.
truncate -s 300M "$E2E_APP/huge.ini"
json_check='import json, sys
d = json.loads(open(sys.argv[1], "rb").read().decode("ascii"))
print("ok" if d["schema"] == 1 and d["exitCode"] == int(sys.argv[2]) else d)'
for line in "2 repair bogus" "2 scan 99" "2 frob" "2 scan ," "2 repair ," "2 scan 7 --config huge.ini" \
            "2 scan --config missing.ini" "1 scan ALL" "0 help"; do
  set -- $line
  want=$1
  shift
  got=$(cli "$@" --json)
  expect_eq "cli $* --json" "$want ok" "$got $(python3 -c "$json_check" "$E2E_ROOT/cli.out" "$want" 2>&1 | tail -n 1)"
done
expect_eq "Chinese through the escapes" "无法访问网络，IE打不开网页等等" \
  "$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["items"][0]["text"])' "$E2E_ROOT/cli.out")"
cli help >/dev/null
grep -q '无法访问网络' "$E2E_ROOT/cli.out" && echo "ok: redirected text is UTF-8" || fail "text: $(head -c 200 "$E2E_ROOT/cli.out")"
rm -f "$E2E_APP/huge.ini"

e2e_finish
