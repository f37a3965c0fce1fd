#!/usr/bin/env bash
# Damaged settings, ticked rows (scrolling for the last ones), lock mode and
# the repair button: every table is back in the registry, the rows read green,
# the row whose key refuses writes reads red; and a library that records being
# loaded, planted under the names items 0 and 5 register beside the program and
# in its current folder, is never loaded, neither by the run nor by lock mode.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

IE='Software\Microsoft\Internet Explorer'
SEARCH="HKLM\\$IE\\Search"
HIDDEN='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Advanced\Folder\Hidden'
WINLOGON='HKLM\Software\Microsoft\Windows\CurrentVersion\Winlogon'
NOTICE_KEYS=('HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
             'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System')
GPEDIT='HKCR\CLSID\{8FC0B734-A0E1-11D1-A7D3-0000F87571E3}\InProcServer32'

# What unwanted software leaves behind.
e2e_reg_set "HKCU\\$IE\\Main" 'Start Page' 'http://hijack.example.net'
e2e_reg_set "HKLM\\$IE\\Main" 'Start Page' 'http://hijack.example.net'
e2e_reg_set "HKCU\\$IE\\Main" 'Window Title' 'Hijacked'
e2e_reg_set "HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel" 'HomePage' '1'
e2e_reg_set "$WINLOGON" 'LegalNoticeCaption' 'Notice'
e2e_reg_set "$WINLOGON" 'LegalNoticeText' 'Click OK'
for key in "${NOTICE_KEYS[@]}"; do
  e2e_reg_set "$key" 'LegalNoticeCaption' 'Notice'
  e2e_reg_set "$key" 'LegalNoticeText' 'Click OK'
done
e2e_reg_set 'HKLM\SYSTEM\CurrentControlSet\Control\SafeBoot' 'AlternateShell' 'evil.exe'
e2e_reg_set "$GPEDIT" '' 'broken.dll'
wine reg add "$HIDDEN\\SHOWALL" /v CheckedValue /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
wine reg add 'HKCR\Directory\shell\find\command' /ve /d 'evil.exe' /f </dev/null >/dev/null 2>&1
wine reg delete 'HKCR\lnkfile' /v IsShortcut /f </dev/null >/dev/null 2>&1 || true
e2e_reg_set "$SEARCH" 'SearchAssistant' 'http://hijack.example.net'
e2e_keyaccess lock HKLM "$IE\\Search"

PLANT="$E2E_BUILD/orvane_e2e_planted.dll"
CWD="$E2E_ROOT/cwd"
NAMES="Msjava.dll jscript.dll Shdocvw.dll Actxprxy.dll Mshtml.dll Urlmon.dll Browseui.dll
       appwiz.cpl msi.dll Oledb32.dll Msado15.dll mshtmled.dll"
unplant() {
  for name in $NAMES; do rm -f "$E2E_APP/$name"; done
  rm -rf "$CWD" "$E2E_APP"/loaded-*
}
trap 'e2e_keyaccess unlock HKLM "$IE\\Search" || true; unplant; e2e_cleanup' EXIT
unplant
mkdir -p "$CWD"
for name in $NAMES; do cp "$PLANT" "$E2E_APP/$name"; cp "$PLANT" "$CWD/$name"; done
loaded() { (cd "$E2E_APP" && ls loaded-* 2>/dev/null; cd "$CWD" && ls loaded-* 2>/dev/null) | tr '\n' ' '; }
# Control: a registration by bare name from that folder does load the plant.
(cd "$CWD" && wine regsvr32 /s Msjava.dll </dev/null >/dev/null 2>&1) || true
expect_eq "control: regsvr32 searching the current folder" "loaded-Msjava.dll.txt " "$(loaded)"
rm -f "$CWD"/loaded-*

# The addresses the browser repairs apply, read from Config.ini at start-up.
printf '[IEConfig]\r\nHomePage=http://start.example.org\r\nSEO=http://search.example.org\r\n' >"$E2E_APP/Config.ini"

E2E_CWD="$CWD" e2e_start
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/fresh.png"
cp "$E2E_SHOTS/fresh.png" "$E2E_DOCS/main-window.png"
for row in 0 1 2 3 4 5 6 7 8; do e2e_tick_row "$row"; done
e2e_scroll_down 7
for row in 9 11 12; do e2e_tick_row "$row" 7; done
e2e_tick_lock
e2e_press_repair

# The run ends when the last row shows its result.
e2e_until 100 e2e_row_is "$E2E_SHOTS/bottom.png" 12 7 green || true
for row in 6 7 8 9 12; do expect_eq "row $row after the run" green "$(e2e_row_result "$E2E_SHOTS/bottom.png" "$row" 7)"; done
# The test prefix disables mshtml (WINEDLLOVERRIDES), so its registration
# exits 3: rows 0 and 5 turn red once their registrations have ended.
e2e_until 100 e2e_row_is "$E2E_SHOTS/row5.png" 5 7 red || fail "row 5 not red after its registrations ended"
for row in 10 13; do expect_eq "row $row untouched" none "$(e2e_row_result "$E2E_SHOTS/bottom.png" "$row" 7)"; done
expect_eq "row 11 (key refuses writes)" red "$(e2e_row_result "$E2E_SHOTS/bottom.png" 11 7)"
cp "$E2E_SHOTS/bottom.png" "$E2E_DOCS/main-after-repair-end.png"
e2e_scroll_up 7
sleep 0.3
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/top.png"
for row in 1 2 3 4; do expect_eq "row $row after the run" green "$(e2e_row_result "$E2E_SHOTS/top.png" "$row")"; done
e2e_until 100 e2e_row_is "$E2E_SHOTS/row0.png" 0 0 red || fail "row 0 not red after its registrations ended"
cp "$E2E_SHOTS/top.png" "$E2E_DOCS/main-after-repair.png"

# Lock mode runs the registrations once more and then rests; a press with
# nothing ticked ends lock mode (after message 1000).
sleep 3
e2e_select_all
e2e_invert
e2e_press_repair
e2e_dismiss_box || fail "no message box, or it stayed open"

# The registry, item by item: key|value ("" for the default)|data.
while IFS='|' read -r key name want; do
  expect_eq "$key $name" "$want" "$(e2e_reg_value "$key" "$name")"
done <<EOF
$HIDDEN\SHOWALL|CheckedValue|0x1
HKLM\SYSTEM\CurrentControlSet\Control\SafeBoot|AlternateShell|cmd.exe
HKCR\.lnk||lnkfile
HKCR\lnkfile|IsShortcut|
HKCR\lnkfile\shellex\IconHandler||{00021401-0000-0000-C000-000000000046}
HKCR\exefile\shell\Open\command||"%1" %*
$GPEDIT||%SystemRoot%\System32\GPEdit.dll
HKCU\\$IE\Main|Start Page|http://start.example.org
HKLM\\$IE\Main|Start Page|http://start.example.org
HKCU\\$IE\Main|Window Title|Microsoft Internet Explorer
HKCU\Software\Policies\Microsoft\Internet Explorer\Control Panel|HomePage|(absent)
$SEARCH|SearchAssistant|http://hijack.example.net
$WINLOGON|LegalNoticeCaption|(absent)
$WINLOGON|LegalNoticeText|(absent)
${NOTICE_KEYS[0]}|LegalNoticeCaption|(absent)
${NOTICE_KEYS[0]}|LegalNoticeText|(absent)
${NOTICE_KEYS[0]}|Shell|explorer.exe
${NOTICE_KEYS[1]}|LegalNoticeCaption|(absent)
${NOTICE_KEYS[1]}|LegalNoticeText|(absent)
EOF
expect_eq "item 4 find verb removed" no "$(e2e_key_exists 'HKCR\Directory\shell\find')"

# With writes allowed again the same row turns green.
e2e_keyaccess unlock HKLM "$IE\\Search"
e2e_scroll_down 5
e2e_tick_row 11 5
e2e_press_repair
e2e_until 100 e2e_row_is "$E2E_SHOTS/again.png" 11 5 green || true
expect_eq "row 11 after the key was opened" green "$(e2e_row_result "$E2E_SHOTS/again.png" 11 5)"
expect_eq "item 11 search page" 'http://search.example.org' "$(e2e_reg_value "$SEARCH" SearchAssistant)"

e2e_stop
sleep 2  # every registration has ended (each takes under 0.1 s)
expect_eq "planted libraries loaded" "" "$(loaded)"
e2e_finish
