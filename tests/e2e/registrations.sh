#!/usr/bin/env bash
# Rows 0 and 5 locked, with a stand-in regsvr32 that logs each start and
# registers a class for Urlmon.dll (row 0 only): the button's run registers
# them, and lock mode starts nothing more while nothing changes; another
# process deleting that class makes row 0 register again, once. When one library's registration fails (slowly), both
# rows that register it show no green before it ends, then turn red, and
# orvane-cli repair exits 1 naming it and its exit code in --json.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

SYS="$WINEPREFIX/drive_c/windows/system32"
LOG="$SYS/stand-in.log"
cp "$SYS/regsvr32.exe" "$E2E_ROOT/regsvr32.exe.wine"
trap 'cp "$E2E_ROOT/regsvr32.exe.wine" "$SYS/regsvr32.exe"; rm -f "$LOG" "$SYS"/stand-in-*.txt; e2e_cleanup' EXIT
cp "$E2E_BUILD/orvane_bench_stand_in.exe" "$SYS/regsvr32.exe"
rm -f "$LOG" "$SYS"/stand-in-*.txt
echo Urlmon >"$SYS/stand-in-class.txt"
CLASS='HKCR\CLSID\{5F4E3D2C-1B0A-4987-8654-3210FEDCBA98}'
row0_runs() { grep -c Browseui "$LOG" 2>/dev/null || true; }  # Browseui.dll: only row 0 registers it
started() { grep -c regsvr32 "$LOG" 2>/dev/null || true; }
more_than() { [ "$("$1")" -gt "$2" ]; }  # counter n
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;regsvr32.exe=n"

e2e_start
e2e_tick_row 0
e2e_tick_row 5
e2e_tick_lock
e2e_press_repair
e2e_until 100 e2e_row_is "$E2E_SHOTS/registrations.png" 5 0 green || fail "row 5 not green"
expect_eq "row 0 registered once, by the button" 1 "$(row0_runs)"
first=$(started)
sleep 15
expect_eq "nothing started after the button's run while nothing changed" "$first" "$(started)"
runs=$(row0_runs)
wine reg delete "$CLASS" /f </dev/null >/dev/null 2>&1 || fail "could not delete the class"
e2e_until 100 more_than row0_runs "$runs"
expect_eq "a deleted class makes row 0 register again" $((runs + 1)) "$(row0_runs)"
e2e_wait_value "$CLASS\\InprocServer32" "" 'C:\windows\system32\Urlmon.dll' || fail "the class was not registered again"
total=$(started)
sleep 10
expect_eq "and only once; row 5 not at all" "$total" "$(started)"

echo jscript.dll >"$SYS/stand-in-fail.txt"
total=$(started)
e2e_press_repair
e2e_until 100 more_than started $((total + first - 1)) || fail "the button started fewer than the first time"
# The failing registration takes 3 s: until it has ended neither row may read green.
shot="$E2E_SHOTS/registrations-failed.png" green=no
for _ in $(seq 1 200); do
  e2e_shot "$E2E_WINDOW" "$shot"
  r0=$(e2e_row_result "$shot" 0) r5=$(e2e_row_result "$shot" 5)
  [ "$r0" = green ] || [ "$r5" = green ] && green=yes
  [ "$r0" = red ] && [ "$r5" = red ] && break
  sleep 0.1
done
expect_eq "no green before the last registration ended" no "$green"
expect_eq "then both red" red/red "$r0/$r5"

e2e_stop
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
(cd "$E2E_APP" && wine orvane-cli.exe repair network --json </dev/null >"$E2E_ROOT/cli.json" 2>/dev/null) && rc=0 || rc=$?
expect_eq "orvane-cli repair network" 1 "$rc"
expect_eq "--json names it" yes "$(tr -d '\r' <"$E2E_ROOT/cli.json" | grep -q '"command":"regsvr32 /s jscript.dll","exitCode":3' && echo yes || echo no)"

e2e_finish
