#!/usr/bin/env bash
# orvane.exe is a 64-bit GUI program that imports nothing but Windows' own DLLs;
# orvane-cli.exe is a 64-bit console program that asks for no elevation and
# links no window code. Arguments: build folder, path of orvane.exe.
set -euo pipefail
fail=0
check() {  # description, pattern, text
  if grep -Eq "$2" <<<"$3"; then echo "ok: $1"; else echo "FAIL: $1" >&2; fail=1; fi
}
refuse() {  # description, pattern, text
  if grep -Eqi "$2" <<<"$3"; then echo "FAIL: $1" >&2; fail=1; else echo "ok: $1"; fi
}
gui=$(x86_64-w64-mingw32-objdump -p "$2")
cli=$(x86_64-w64-mingw32-objdump -p "$1/orvane-cli.exe")
check "orvane.exe: GUI subsystem" '^Subsystem[[:space:]]+0+2[[:space:]]' "$gui"
check "orvane.exe: PE32+" '^Magic[[:space:]]+020b' "$gui"
check "orvane-cli.exe: console image" '^Subsystem[[:space:]]+0+3[[:space:]]' "$cli"
check "orvane-cli.exe: asInvoker manifest" 'requestedExecutionLevel level="asInvoker"' \
  "$(x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$1/orvane-cli.exe" /dev/stdout | strings)"
refuse "orvane-cli.exe: no window code" 'DLL Name: (comctl32|msimg32)\.dll|CreateWindowExW|RegisterClassExW|DispatchMessageW' "$cli"

allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msimg32.dll shell32.dll ole32.dll
oleaut32.dll oleacc.dll shlwapi.dll comdlg32.dll version.dll uxtheme.dll msvcrt.dll ntdll.dll"
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$gui" | tr 'A-Z' 'a-z' | sort -u)
check "orvane.exe: an import table" . "$dlls"
for dll in $dlls; do
  if ! tr ' ' '\n' <<<"$allowed" | grep -qxF "$dll" && [[ "$dll" != api-ms-win-* ]]; then
    echo "FAIL: imports $dll, not a Windows system DLL" >&2
    fail=1
  fi
done
exit $fail
