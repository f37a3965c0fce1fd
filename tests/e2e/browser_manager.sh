#!/usr/bin/env bash
# Row 13 with real input: a Chrome machine policy and a desktop shortcut that
# starts a stand-in chrome.exe with an address, beside an administrator's
# policy. F5 shows the row orange; the manager lists both, every line ticked,
# and clean removes them, keeping the other policy and the profile argument.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

CHROME='HKLM\SOFTWARE\Policies\Google\Chrome'
LINK='Google Chrome'
link() { wine "$E2E_BUILD/orvane_e2e_link.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
trap 'wine reg delete "$CHROME" /f </dev/null >/dev/null 2>&1 || true; rm -f "$lnk"; e2e_cleanup' EXIT

mkdir -p "$E2E_ROOT/Chrome"
cp "$E2E_BUILD/orvane_e2e_link.exe" "$E2E_ROOT/Chrome/chrome.exe"
e2e_reg_set "$CHROME" HomepageLocation 'https://hijack.example/'
e2e_reg_set "$CHROME" MetricsReportingEnabled 0
lnk=$(link make "$LINK" "$(winepath -w "$E2E_ROOT/Chrome/chrome.exe" 2>/dev/null)" \
  '--profile-directory="Profile 1" https://hijack.example/?src=lnk')
lnk=$(winepath -u "$lnk" 2>/dev/null)
[ -f "$lnk" ] || fail "no shortcut planted"

e2e_start
e2e_scroll_down 7
xdotool mousemove --window "$E2E_WINDOW" 200 200 key F5
e2e_wait_other_window >/dev/null || fail "no check menu after F5"
sleep 0.3
xdotool key Down Return
sleep 1
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/browsers-checked.png"
orange=$(e2e_pixels "$E2E_SHOTS/browsers-checked.png" "375x16+20+$(( $(e2e_row_y 13 7) - 6 ))" \
  '$1 >= 150 && $2 >= 50 && $2 <= 190 && $3 <= 130 && $1 - $3 >= 90')
[ "$orange" -gt 10 ] && echo "ok: row 13 orange ($orange)" || fail "row 13 not orange ($orange)"

e2e_tick_row 13 7
e2e_press_repair
manager=$(e2e_wait_other_window) || manager=
if [ -n "$manager" ]; then
  expect_eq "manager size" "$(e2e_size 5895 3855)" "$(e2e_geometry "$manager")"
  sleep 0.5
  e2e_shot "$manager" "$E2E_DOCS/browser-manager.png"
  e2e_click "$manager" 339 227  # clean: every line is ticked
  sleep 1
  expect_eq "policy removed" '(absent)' "$(e2e_reg_value "$CHROME" HomepageLocation)"
  expect_eq "administrator's policy kept" 0 "$(e2e_reg_value "$CHROME" MetricsReportingEnabled)"
  expect_eq "shortcut keeps its profile" '--profile-directory="Profile 1"' "$(link args "$LINK")"
  e2e_shot "$manager" "$E2E_SHOTS/browsers-cleaned.png"
  e2e_click "$manager" 377 10
  e2e_wait_no_other_window || fail "manager still open"
else
  fail "browser manager did not open"
fi

e2e_finish
