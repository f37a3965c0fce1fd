#!/usr/bin/env bash
# Lock mode under Wine, driven through the X server as the end-to-end tests
# do: items 1-4, 6-9, 11 and 12 ticked. Prints the restore latency of a
# tampered start page over 20 tampers (and a bare restoring loop's, the
# floor), the registry calls the program makes per second while nothing
# changes (Wine's +reg trace), and the CPU of the program plus wineserver over
# 20 s, idle and in lock mode; then the CPU during a storm of 1,000 writes a
# second (beside the storm's own), the changes the watches missed (the lock
# log's count, 0 when every change was signalled), and what orvane-cli guard
# costs while nothing changes (CPU and registry calls). Usage (from scripts/bench.sh, which provides
# the display): bash bench/lock_mode.sh BUILD-DIR ORVANE-EXE
. "$(dirname "$0")/../tests/e2e/lib/e2e.sh"
e2e_setup
rm -f "$E2E_APP"/Backups/*-lock.log

IE='Software\Microsoft\Internet Explorer'
START=http://start.example.org
SECONDS_CPU=20
printf '[IEConfig]\r\nHomePage=%s\r\n' "$START" >"$E2E_APP/Config.ini"

# Processes of this prefix: the program (by its name) and wineserver.
prefix_pids() {  # pattern
  local pid
  for pid in $(pgrep -f "$1" || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
  return 0
}
cpu_ticks() {  # user + system clock ticks of the program and wineserver
  local total=0 pid
  for pid in $(prefix_pids "${PROGRAM:-orvane\.exe}") $(prefix_pids 'wineserver'); do
    total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  echo "$total"
}
cpu_percent() {  # label: share of one core over SECONDS_CPU
  local before after
  [ -n "$(prefix_pids "${PROGRAM:-orvane\.exe}")" ] && [ -n "$(prefix_pids 'wineserver')" ] || echo "   (program or wineserver not found)"
  before=$(cpu_ticks)
  sleep "$SECONDS_CPU"
  after=$(cpu_ticks)
  awk -v d=$((after - before)) -v s="$SECONDS_CPU" -v hz="$(getconf CLK_TCK)" -v l="$1" \
    'BEGIN {printf "   CPU, %s: %.2f %% of a core (program + wineserver, %d s)\n", l, 100 * d / (s * hz), s}'
}
# Calls at either layer (advapi32's Reg*, ntdll's Nt*), not their returns.
trace_lines() { grep 'trace:reg:' "$E2E_ROOT/orvane.log" | grep -vc ' <- ' || true; }
WRITES='trace:reg:(NtSetValueKey|NtDeleteValueKey|NtDeleteKey)'

WINEDEBUG=trace+reg e2e_start
for row in 1 2 3 4 6 7 8; do e2e_tick_row "$row"; done
e2e_scroll_down 5
for row in 9 11 12; do e2e_tick_row "$row" 5; done
e2e_press_repair
sleep 3
cpu_percent "idle, after a repair, lock off"

e2e_tick_lock
e2e_press_repair
sleep 3
calls=$(trace_lines)
writes=$(grep -cE "$WRITES" "$E2E_ROOT/orvane.log" || true)
sleep 10
calls=$(( $(trace_lines) - calls ))
writes=$(( $(grep -cE "$WRITES" "$E2E_ROOT/orvane.log" || true) - writes ))
echo "   registry calls in lock mode while nothing changes: $((calls / 10)) a second ($writes writes in 10 s)"
cpu_percent "lock mode, nothing changing"

# A storm from another process: what lock mode spends answering it, beside the storm's own CPU.
own_ticks() { local pid t=0; for pid in $(prefix_pids "$1"); do t=$((t + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0))); done; echo "$t"; }
wine "$E2E_BUILD/orvane_bench_tamper.exe" storm HKCU "$IE\\Main" 'Start Page' 1000 12000 </dev/null >/dev/null 2>&1 &
storm=$!
sleep 1
storm_before=$(own_ticks 'orvane_bench_tamper')
ping=$(mktemp)
wine "$E2E_BUILD/orvane_bench_tamper.exe" ping Orvane 9000 </dev/null 2>/dev/null | tr -d '\r' >"$ping" &
SECONDS_CPU=10 cpu_percent "lock mode during a storm of 1,000 writes a second"
storm_after=$(own_ticks 'orvane_bench_tamper')
wait %2 2>/dev/null || true
echo "   during the storm the $(cat "$ping")"
rm -f "$ping"
awk -v d=$((storm_after - storm_before)) -v hz="$(getconf CLK_TCK)" \
  'BEGIN {printf "   CPU, the storm itself: %.2f %% of a core\n", 100 * d / (10 * hz)}'
wait "$storm" 2>/dev/null || true
sleep 2
echo "   start page after the storm: $(e2e_reg_value "HKCU\\$IE\\Main" 'Start Page')"

echo "   restore latency, lock mode: $(wine "$E2E_BUILD/orvane_bench_tamper.exe" restore HKCU "$IE\\Main" 'Start Page' "$START" 20 </dev/null 2>/dev/null | tr -d '\r' | tail -n 1)"
e2e_stop
missed=$(cat "$E2E_APP"/Backups/*-lock.log 2>/dev/null | grep -c 'missed by the watches' || true)
echo "   changes the watches missed (found by the safety net's reading): ${missed:-0}"
echo "   restore latency, bare loop: $(wine "$E2E_BUILD/orvane_bench_tamper.exe" floor HKCU "$IE\\Main" 'Start Page' "$START" 20 </dev/null 2>/dev/null | tr -d '\r' | tail -n 1)"

# The floor for the timer that stays as a safety net: a bare window idle, then
# with a 100 ms timer whose ticks do nothing.
for mode in idle timer; do
  wine "$E2E_BUILD/orvane_bench_bare.exe" "$mode" </dev/null >/dev/null 2>&1 &
  bare=$!
  sleep 3
  PROGRAM='orvane_bench_bare\.exe' cpu_percent "bare window, $mode"
  kill "$bare" 2>/dev/null || true
  wait "$bare" 2>/dev/null || true
done

# The guard, same items, while nothing changes, beside the bare loop above.
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
guard_log="$E2E_ROOT/guard-trace.log"
(cd "$E2E_APP" && WINEDEBUG=trace+reg exec wine orvane-cli.exe guard 1,2,3,4,6,7,8,9,11,12 </dev/null >/dev/null 2>"$guard_log") &
guard=$!
sleep 5
guard_calls() { grep 'trace:reg:' "$guard_log" | grep -vc ' <- ' || true; }
calls=$(guard_calls)
queries=$(grep -c 'trace:reg:RegQueryInfoKeyW' "$guard_log" || true)
sleep 10
echo "   registry calls of orvane-cli guard while nothing changes: $(( ($(guard_calls) - calls) / 10 )) a second ($(( ($(grep -c 'trace:reg:RegQueryInfoKeyW' "$guard_log" || true) - queries) / 10 )) of them RegQueryInfoKeyW)"
PROGRAM='orvane-cli\.exe' cpu_percent "orvane-cli guard, nothing changing"
(cd "$E2E_APP" && wine orvane-cli.exe guard --stop </dev/null >/dev/null 2>&1) || true
wait "$guard" 2>/dev/null || true
