#!/usr/bin/env bash
# orvane-cli --all-users under Wine: keys under HKEY_USERS\S-1-5-21-1111-2222-3333-1001
# stand in for a second signed-in user. Its damaged start page, home-button
# policy and .lnk class override are found, repaired there and in the current
# user's hive, and undone; the same keys under .DEFAULT and S-1-5-18 stay.
# The user's browser policy and desktop shortcut are cleaned and undone; the
# folders the user's hive points outside the profile, or reaches through a
# link, are never read.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
BK="$WINEPREFIX/drive_c/ProgramData/Orvane/Backups"
rm -rf "$BK"
OTHER='HKU\S-1-5-21-1111-2222-3333-1001'
MAIN='Software\Microsoft\Internet Explorer\Main'
POLICY='Software\Policies\Microsoft\Internet Explorer\Control Panel'
for hive in "$OTHER" 'HKU\.DEFAULT' 'HKU\S-1-5-18' HKCU; do
  e2e_reg_set "$hive\\$MAIN" 'Start Page' 'http://hijack.example.net'
  e2e_reg_set "$hive\\$POLICY" HomePage 'http://hijack.example.net'
done
wine reg add "${OTHER}_Classes\\.lnk" /ve /d txtfile /f </dev/null >/dev/null 2>&1
machine_lnk=$(e2e_reg_value 'HKCR\.lnk' '')
state() {  # sid -> the item's state for that user in the last --json scan
  python3 -c 'import json, sys
d = json.load(open(sys.argv[1]))
print(" ".join(u["state"] for i in d["items"] for u in i["users"] if u["sid"] == sys.argv[2]))' "$E2E_ROOT/cli.out" "$1"
}
expect_eq "scan finds the other user's damage" 1 "$(cli scan start-page,home-button,shortcuts --all-users --json)"
expect_eq "per item, for that user" "damaged damaged damaged" "$(state S-1-5-21-1111-2222-3333-1001)"
expect_eq "repair every user" 0 "$(cli repair start-page,home-button,shortcuts --all-users)"
for hive in "$OTHER" HKCU; do
  expect_eq "$hive start page" 'about:blank' "$(e2e_reg_value "$hive\\$MAIN" 'Start Page')"
  expect_eq "$hive policy" '(absent)' "$(e2e_reg_value "$hive\\$POLICY" HomePage)"
done
expect_eq "the user's .lnk class" lnkfile "$(e2e_reg_value "${OTHER}_Classes\\.lnk" '')"
expect_eq "the machine's .lnk class" "$machine_lnk" "$(e2e_reg_value 'HKCR\.lnk' '')"
for hive in 'HKU\.DEFAULT' 'HKU\S-1-5-18'; do
  expect_eq "$hive left alone" 'http://hijack.example.net' "$(e2e_reg_value "$hive\\$MAIN" 'Start Page')"
done
cat "$BK"/*.reg | iconv -f UTF-16 -t UTF-8 | grep -q 'HKEY_USERS\\S-1-5-21-1111-2222-3333-1001\\Software' &&
  echo "ok: the backup names the user's hive" || fail "the backup lacks the user's hive"
expect_eq "undo" 0 "$(cli undo)"
for hive in "$OTHER" HKCU; do
  expect_eq "$hive start page back" 'http://hijack.example.net' "$(e2e_reg_value "$hive\\$MAIN" 'Start Page')"
done
expect_eq "the user's .lnk class back" txtfile "$(e2e_reg_value "${OTHER}_Classes\\.lnk" '')"
EXT='Software\Microsoft\Internet Explorer\MenuExt\Evil'
for hive in "$OTHER" 'HKU\S-1-5-18'; do wine reg add "$hive\\$EXT" /f </dev/null >/dev/null 2>&1; done
expect_eq "menuext list" 0 "$(cli menuext list --all-users --json)"
python3 -c 'import json, sys
d = json.load(open(sys.argv[1]))
sys.exit([u["entries"] for u in d["users"] if u["sid"] == sys.argv[2]] != [["Evil"]])' "$E2E_ROOT/cli.out" \
  S-1-5-21-1111-2222-3333-1001 && echo "ok: the user's menu entry is listed" || fail "menuext list: $(cat "$E2E_ROOT/cli.out")"
expect_eq "menuext delete" 0 "$(cli menuext delete Evil --all-users)"
expect_eq "the user's menu entry" no "$(e2e_key_exists "$OTHER\\$EXT")"
expect_eq "SYSTEM's menu entry" yes "$(e2e_key_exists "HKU\\S-1-5-18\\$EXT")"

# Browsers: the profile from the machine's list; a Start menu outside it and a
# Quick Launch that is a link to the same planted folder.
EDGE="$OTHER\\SOFTWARE\\Policies\\Microsoft\\Edge" PROFILES='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList'
C="$WINEPREFIX/drive_c" SHELL_KEY="$OTHER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
q() { "$@" </dev/null >/dev/null 2>&1; }
trap 'q wine reg delete "$PROFILES\S-1-5-21-1111-2222-3333-1001" /f; q wine reg delete "$EDGE" /f
  rm -rf "$C/users/other" "$C/planted" "$C/Chrome"; e2e_cleanup' EXIT
mkdir -p "$C/users/other/Desktop" "$C/users/other/AppData/Roaming/Microsoft/Internet Explorer" "$C/planted" "$C/Chrome"
ln -sfn "$C/planted" "$C/users/other/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
cp "$E2E_BUILD/orvane_e2e_link.exe" "$C/Chrome/chrome.exe"
q wine reg add "$PROFILES\S-1-5-21-1111-2222-3333-1001" /v ProfileImagePath /t REG_EXPAND_SZ /d '%SystemDrive%\users\other' /f
q wine reg add "$SHELL_KEY\User Shell Folders" /v Desktop /t REG_EXPAND_SZ /d '%USERPROFILE%\Desktop' /f
e2e_reg_set "$SHELL_KEY\Shell Folders" 'Start Menu' 'C:\planted'
e2e_reg_set "$EDGE" HomepageLocation 'https://hijack.example/'
for to in users/other/Desktop planted; do
  mv "$(winepath -u "$(wine "$E2E_BUILD/orvane_e2e_link.exe" make 'Google Chrome' 'C:\Chrome\chrome.exe' \
    '--profile-directory="Profile 1" https://hijack.example/' </dev/null 2>/dev/null | tr -d '\r')")" "$C/$to/"
done
sums() { md5sum "$C/users/other/Desktop/Google Chrome.lnk" "$C/planted/Google Chrome.lnk" | awk '{print $1}' | tr '\n' ' '; }
before=$(sums)
theirs() {  # the last --json output's findings of the other user, one "where" a line
  python3 -c 'import json, sys
print("\n".join(f["where"] for f in json.load(open(sys.argv[1]))["findings"] if f["sid"] == sys.argv[2]))' \
    "$E2E_ROOT/cli.out" S-1-5-21-1111-2222-3333-1001
}
expect_eq "browsers list" 1 "$(cli browsers list --all-users --json)"
expect_eq "the user's policy and desktop shortcut, nothing planted" \
  "$(printf '%s\n' 'HKU\S-1-5-21-1111-2222-3333-1001\SOFTWARE\Policies\Microsoft\Edge [HomepageLocation]' \
    'C:\users\other\Desktop\Google Chrome.lnk')" "$(theirs)"
cli browsers clean --all-users >/dev/null
expect_eq "policy cleaned" '(absent)' "$(e2e_reg_value "$EDGE" HomepageLocation)"
after=$(sums)
expect_eq "the user's shortcut cleaned, the planted one untouched" "changed ${before#* }" \
  "$([ "${after%% *}" != "${before%% *}" ] && echo changed) ${after#* }"
expect_eq "undo" 0 "$(cli undo)"
expect_eq "policy back" 'https://hijack.example/' "$(e2e_reg_value "$EDGE" HomepageLocation)"
expect_eq "shortcuts as they were" "$before" "$(sums)"
e2e_finish
