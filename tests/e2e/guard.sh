#!/usr/bin/env bash
# orvane-cli guard --all-users against another process: the start page is put
# back after each of 20 changes and in a user hive that appears later, a second
# guard refuses to start (exit 2), --stop ends the first (exit 0) and its log
# lists the restores. All of it while other processes hold the guard's name,
# one as a mutex and one as an event anyone may open.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

IE='Software\Microsoft\Internet Explorer'
MAIN="HKCU\\$IE\\Main"
START=http://start.example.org
OTHER='HKU\S-1-5-21-1111-2222-3333-1001'
wine reg delete "$OTHER" /f </dev/null >/dev/null 2>&1 || true
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
printf '[IEConfig]\r\nHomePage=%s\r\n' "$START" >"$E2E_APP/Config.ini"
BK="$WINEPREFIX/drive_c/ProgramData/Orvane/Backups"
rm -f "$BK"/*-lock.log "$E2E_ROOT/guard.rc"
e2e_reg_set "$MAIN" 'Start Page' 'http://hijack.example.net'
cli() { (cd "$E2E_APP" && wine orvane-cli.exe "$@" </dev/null >/dev/null 2>&1) && echo 0 || echo $?; }

NAME='Local\Orvane.Guard.S-1-5-21-0-0-0-1000'  # Wine's one user
squatters=()
for squat in "squat $NAME" "squat-event $NAME.1"; do
  wine "$E2E_BUILD/orvane_e2e_adversary.exe" $squat 60 </dev/null >"$E2E_ROOT/squat.out" &
  squatters+=($!)
  e2e_until 100 grep -q held "$E2E_ROOT/squat.out" || fail "the squatter did not start: $squat"
done

(cd "$E2E_APP" && wine orvane-cli.exe guard start-page --all-users </dev/null >"$E2E_ROOT/guard.out" 2>&1; echo $? >"$E2E_ROOT/guard.rc") &
guard=$!
e2e_wait_value "$MAIN" 'Start Page' "$START" || fail "the guard did not repair the start page: $(cat "$E2E_ROOT/guard.out")"
expect_eq "the guard says its name was taken" yes "$(grep -q '占用' "$E2E_ROOT/guard.out" && echo yes || echo no)"
expect_eq "a second guard" 2 "$(cli guard window-title)"

line=$(wine "$E2E_BUILD/orvane_bench_tamper.exe" restore HKCU "$IE\\Main" 'Start Page' "$START" 20 </dev/null 2>/dev/null |
  tr -d '\r' | tail -n 1)
expect_eq "all 20 changes put back ($line)" yes "$(echo "$line" | grep -q ' 0 not put back' && echo yes || echo no)"

e2e_reg_set "$OTHER\\$IE\\Main" 'Start Page' 'http://hijack.example.net'
e2e_until 100 e2e_value_is "$OTHER\\$IE\\Main" 'Start Page' "$START" || fail "a user who signed in later is not guarded"
expect_eq "guard --stop" 0 "$(cli guard --stop)"
e2e_until 100 test -s "$E2E_ROOT/guard.rc" || fail "the guard did not end"
wait "$guard" 2>/dev/null || true
expect_eq "the guard's exit code" 0 "$(cat "$E2E_ROOT/guard.rc" 2>/dev/null)"
expect_eq "--stop with no guard" 1 "$(cli guard --stop)"
kill "${squatters[@]}" 2>/dev/null || true
restores=$(cat "$BK"/*-lock.log 2>/dev/null | grep -c 'start-page: restored' || true)
expect_eq "restores in the log" yes "$([ "$restores" -ge 21 ] && echo yes || echo "no ($restores)")"

e2e_finish
