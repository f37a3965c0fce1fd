#!/usr/bin/env bash
# Rows 0 and 5 locked, with a stand-in regsvr32 that logs each start: lock
# mode runs their registrations once more after the button's run and then
# starts nothing while nothing changes. When one library's registration
# fails, both rows that register it turn red once their registrations end,
# and orvane-cli repair exits 1 naming it and its exit code in --json.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

SYS="$WINEPREFIX/drive_c/windows/system32"
LOG="$SYS/stand-in.log"
cp "$SYS/regsvr32.exe" "$E2E_ROOT/regsvr32.exe.wine"
trap 'cp "$E2E_ROOT/regsvr32.exe.wine" "$SYS/regsvr32.exe"; rm -f "$LOG" "$SYS/stand-in-fail.txt"; e2e_cleanup' EXIT
cp "$E2E_BUILD/orvane_bench_stand_in.exe" "$SYS/regsvr32.exe"
rm -f "$LOG" "$SYS/stand-in-fail.txt"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;regsvr32.exe=n"

e2e_start
e2e_tick_row 0
e2e_tick_row 5
e2e_tick_lock
e2e_press_repair
e2e_until 100 e2e_row_is "$E2E_SHOTS/registrations.png" 5 0 green || fail "row 5 not green"
sleep 5
first=$(grep -c regsvr32 "$LOG" 2>/dev/null || true)
expect_eq "the button's and the first lock pass's registrations ran" yes "$([ "${first:-0}" -gt 0 ] && echo yes || echo no)"
sleep 10
expect_eq "nothing started while nothing changed" "$first" "$(grep -c regsvr32 "$LOG" 2>/dev/null || true)"

echo jscript.dll >"$SYS/stand-in-fail.txt"
e2e_press_repair
for row in 0 5; do
  e2e_until 100 e2e_row_is "$E2E_SHOTS/registrations-failed.png" "$row" 0 red || fail "row $row not red"
done

e2e_stop
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
(cd "$E2E_APP" && wine orvane-cli.exe repair network --json </dev/null >"$E2E_ROOT/cli.json" 2>/dev/null) && rc=0 || rc=$?
expect_eq "orvane-cli repair network" 1 "$rc"
expect_eq "--json names it" yes "$(tr -d '\r' <"$E2E_ROOT/cli.json" | grep -q '"command":"regsvr32 /s jscript.dll","exitCode":3' && echo yes || echo no)"

e2e_finish
