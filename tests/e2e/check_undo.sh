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
rm -rf "$E2E_APP/Backups"
trap 'e2e_keyaccess unlock HKLM "$IE\\Main" >/dev/null 2>&1 || true; e2e_cleanup' EXIT
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

# Repair row 7: green, with a backup and a log beside the program.
e2e_tick_row 7
e2e_press_repair
sleep 1
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/repaired.png"
expect_eq "row 7 after the repair" green "$(e2e_row_result "$E2E_SHOTS/repaired.png" 7)"
expect_eq "start page repaired" 'http://start.example.org' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"
expect_eq "one backup and one log" "1 1" "$(ls "$E2E_APP"/Backups/*.reg 2>/dev/null | wc -l) $(ls "$E2E_APP"/Backups/*.log 2>/dev/null | wc -l)"

# Undo from the menu opened by F5; its message box is dismissed with Enter.
sleep 1  # a new second: the undo's own backup gets a name of its own
e2e_menu_pick f5 2
sleep 1
e2e_wait_other_window >/dev/null || fail "no message after the undo"
import -window root "$E2E_SHOTS/undo-message.png"
xdotool key Return
e2e_wait_no_other_window || fail "the undo message stayed open"
expect_eq "undo restored the damage (user)" 'http://hijack.example.net' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"
expect_eq "undo restored the damage (machine)" 'http://hijack.example.net' "$(e2e_reg_value "HKLM\\$IE\\Main" 'Start Page')"
expect_eq "the undo kept its own backup" 2 "$(ls "$E2E_APP"/Backups/*.reg | wc -l)"

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
log=$(ls -t "$E2E_APP"/Backups/*.log | head -n 1)
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
expect_eq "cli usage error" 2 "$(cli repair nonsense)"
printf 'not a registry file' >"$E2E_APP/bad.reg"
expect_eq "cli undo of a malformed file" 1 "$(cli undo bad.reg)"
printf '[IEConfig]\r\nHomePage=http://other.example.org\r\n' >"$E2E_APP/other.ini"
expect_eq "cli repair with a relative --config" 0 "$(cli repair start-page --config other.ini)"
expect_eq "the other configuration was read" 'http://other.example.org' "$(e2e_reg_value "$MAIN_CU" 'Start Page')"

e2e_finish
