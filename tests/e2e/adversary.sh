#!/usr/bin/env bash
# What unwanted software running as the user can plant does not steer the
# program: a squatted single-instance name does not keep the window away;
# registry links under MenuExt and in item 4's tree are deleted as links, their
# targets stay whole, and undo brings the link back; a subkey whose name is
# not valid Unicode never lets item 4 report green while its tree is still there.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup
cp "$E2E_BUILD/orvane-cli.exe" "$E2E_APP/orvane-cli.exe"
rm -rf "$E2E_APP/Backups"
adversary() { wine "$E2E_BUILD/orvane_e2e_adversary.exe" "$@" </dev/null; }

# The single-instance name held by another process that shows no window.
adversary squat 'Local\Orvane.Running' 30 >"$E2E_ROOT/squat.out" &
squatter=$!
e2e_until 100 grep -q held "$E2E_ROOT/squat.out" || fail "the squatter did not start"
e2e_start
echo "ok: the window shows while another process holds the name"
e2e_stop
kill "$squatter" 2>/dev/null || true

VICTIM='Software\OrvaneVictim'
e2e_reg_set "HKCU\\$VICTIM" keep 1
e2e_reg_set "HKCU\\$VICTIM\\Sub" keep 2
victim_whole() { expect_eq "the link's target after $1" 1,2 "$(e2e_reg_value "HKCU\\$VICTIM" keep),$(e2e_reg_value "HKCU\\$VICTIM\\Sub" keep)"; }

MENU='Software\Microsoft\Internet Explorer\MenuExt'
adversary link HKCU "$MENU\\Evil" "$VICTIM" || fail "could not plant the MenuExt link"
expect_eq "menuext delete of a link, which is gone" "0 no" "$(cli menuext delete Evil) $(e2e_key_exists "HKCU\\$MENU\\Evil")"
victim_whole "menuext delete"

FIND='HKCR\Directory\shell\find'
e2e_reg_set "$FIND\\Command" '' 'evil.exe'
adversary link HKCR 'Directory\shell\find\Command\Evil' "$VICTIM" || fail "could not plant the link in find"
expect_eq "scan of item 4 with a link in its tree" 1 "$(cli scan folder-open)"
expect_eq "repair of item 4 with a link in its tree, find gone" "0 no" "$(cli repair folder-open) $(e2e_key_exists "$FIND")"
victim_whole "item 4"
expect_eq "undo of item 4 makes the link again" "0 1" "$(cli undo) $(e2e_reg_value "$FIND\\Command\\Evil" keep)"
victim_whole "undo"

# A name with a lone surrogate: deleted with the tree, or the item is red.
e2e_reg_set "$FIND\\Command" '' 'evil.exe'
adversary surrogate HKCR 'Directory\shell\find' || fail "could not plant the surrogate name"
[ "$(cli scan folder-open)" != 0 ] && echo "ok: scan does not call the tree intact" || fail "scan called item 4 intact"
repair=$(cli repair folder-open)
expect_eq "item 4 green only with find gone" "$([ "$(e2e_key_exists "$FIND")" = yes ] && echo 1 || echo 0)" "$repair"

# A start page that could run code is never written, and --json says why; a Config.ini
# saved as UTF-8 without a byte-order mark reaches the registry exactly.
MAIN='HKCU\Software\Microsoft\Internet Explorer\Main'
e2e_reg_set "$MAIN" 'Start Page' 'http://before.example'
printf '[IEConfig]\r\nHomePage=javascript:alert(1)\r\nSEO=http://search.example\r\n' >"$E2E_APP/Config.ini"
expect_eq "repair with a refused start page" 1 "$(cli repair start-page --json)"
grep -q '"ok":false,"error":13,' "$E2E_ROOT/cli.out" && echo "ok: --json names the refusal" || fail "json: $(cat "$E2E_ROOT/cli.out")"
expect_eq "the refused page was not written" 'http://before.example' "$(e2e_reg_value "$MAIN" 'Start Page')"
printf '[IEConfig]\r\nHomePage=http://例子.测试/首页\r\nSEO=http://search.example\r\n' >"$E2E_APP/Config.ini"
expect_eq "repair with a UTF-8 Config.ini" 0 "$(cli repair start-page)"
expect_eq "the UTF-8 page reached the registry" 'http://例子.测试/首页' "$(e2e_reg_value "$MAIN" 'Start Page')"

e2e_finish
