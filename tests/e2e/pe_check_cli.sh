#!/usr/bin/env bash
# orvane-cli.exe is a 64-bit console program that asks for no elevation and
# links no window code: no common controls, no window classes of its own.
# Arguments: build folder, path of orvane.exe.
set -euo pipefail
exe="$1/orvane-cli.exe"
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
fail=0
check() {  # description, pattern, text
  if ! grep -Eq "$2" <<<"$3"; then
    echo "FAIL: $1" >&2
    fail=1
  else
    echo "ok: $1"
  fi
}
check "PE32+ image" '^Magic[[:space:]]+020b' "$headers"
check "console subsystem" '^Subsystem[[:space:]]+0+3[[:space:]]' "$headers"
manifest=$(x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" /dev/stdout | strings)
check "asInvoker manifest" 'requestedExecutionLevel level="asInvoker"' "$manifest"
for forbidden in comctl32.dll msimg32.dll; do
  if grep -qi "DLL Name: $forbidden" <<<"$headers"; then
    echo "FAIL: imports $forbidden" >&2
    fail=1
  fi
done
if grep -Eq 'CreateWindowExW|RegisterClassExW|DispatchMessageW' <<<"$headers"; then
  echo "FAIL: imports window functions" >&2
  fail=1
fi
exit $fail
