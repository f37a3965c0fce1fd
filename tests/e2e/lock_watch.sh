#!/usr/bin/env bash
# Lock mode as the user starts it (rows 7 and 8), against another process:
# values changed are put back (within a generous bound: how fast is the
# benchmark's business), also after storms of writes at 20 and 1,000 a second
# and after the browser's whole key is deleted; the 32-bit view's start page
# (Wow6432Node) is repaired by the button and held. Ending lock mode:
# main_window.sh.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

IE='Software\Microsoft\Internet Explorer'
MAIN="HKCU\\$IE\\Main"
MAIN32="HKLM\\Software\\Wow6432Node\\Microsoft\\Internet Explorer\\Main"
START=http://start.example.org
tamper() { wine "$E2E_BUILD/orvane_bench_tamper.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

e2e_reg_set "$MAIN" 'Start Page' 'http://hijack.example.net'
e2e_reg_set "$MAIN32" 'Start Page' 'http://hijack.example.net'
printf '[IEConfig]\r\nHomePage=%s\r\n' "$START" >"$E2E_APP/Config.ini"

e2e_start
e2e_tick_row 7
e2e_tick_row 8
e2e_tick_lock
e2e_press_repair
e2e_wait_value "$MAIN32" 'Start Page' "$START" || true
expect_eq "32-bit view start page repaired" "$START" "$(e2e_reg_value "$MAIN32" 'Start Page')"
expect_eq "user start page repaired" "$START" "$(e2e_reg_value "$MAIN" 'Start Page')"
sleep 0.5
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/lock-watch.png"
expect_eq "row 7 green" green "$(e2e_row_result "$E2E_SHOTS/lock-watch.png" 7)"

# Changes from another process, each put back (the tool waits up to 2 s each).
put_back() {  # label name expected count [HKLM-32]
  local root=HKCU view=
  [ "${5:-}" = 32 ] && root=HKLM view=32
  local line
  line=$(tamper restore "$root" "$IE\\Main" "$2" "$3" "$4" $view | tail -n 1)
  expect_eq "$1: all $4 put back" yes "$(echo "$line" | grep -q ' 0 not put back' && echo yes || echo "no ($line)")"
}
TITLE='Microsoft Internet Explorer'
put_back "user start page" 'Start Page' "$START" 10
put_back "32-bit view start page" 'Start Page' "$START" 5 32

# Storms: afterwards single changes are still put back, in the same key too.
for storm in "20 10000" "1000 5000"; do
  set -- $storm
  tamper storm HKCU "$IE\\Main" 'Start Page' "$1" "$2" >/dev/null
  put_back "after a storm at $1/s: start page" 'Start Page' "$START" 5
  put_back "after a storm at $1/s: window title" 'Window Title' "$TITLE" 1
done

# The browser's whole key deleted: it comes back, and holds afterwards.
wine reg delete "HKCU\\$IE" /f </dev/null >/dev/null 2>&1
e2e_wait_value "$MAIN" 'Start Page' "$START" || fail "start page not back after the key was deleted"
put_back "after the key was deleted: start page" 'Start Page' "$START" 5
put_back "after the key was deleted: window title" 'Window Title' "$TITLE" 1

e2e_finish
