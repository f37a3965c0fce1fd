#!/usr/bin/env bash
# orvane.exe is a 64-bit GUI program that imports nothing but Windows' own DLLs.
# Arguments: build folder, path of orvane.exe.
set -euo pipefail
exe=$2
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
fail=0
check() {  # description, pattern
  if ! grep -Eq "$2" <<<"$headers"; then
    echo "FAIL: $1" >&2
    fail=1
  fi
}
check "PE32+ image" '^Magic[[:space:]]+020b'
check "x86-64 machine" 'file format pei-x86-64'
check "GUI subsystem" '^Subsystem[[:space:]]+0+2[[:space:]]'

allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msimg32.dll shell32.dll ole32.dll
oleaut32.dll oleacc.dll shlwapi.dll comdlg32.dll version.dll uxtheme.dll msvcrt.dll ntdll.dll"
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
if [ -z "$dlls" ]; then
  echo "FAIL: no import table found" >&2
  fail=1
fi
for dll in $dlls; do
  if ! tr ' ' '\n' <<<"$allowed" | grep -qxF "$dll" && [[ "$dll" != api-ms-win-* ]]; then
    echo "FAIL: imports $dll, not a Windows system DLL" >&2
    fail=1
  fi
done
echo "imports: $(echo $dlls)"
exit $fail
