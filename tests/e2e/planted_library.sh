#!/usr/bin/env bash
# A library that records being loaded, planted under the names items 0 and 5
# register, beside the program and in its current folder: a repair of both
# items and lock mode never load it.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup

PLANT="$E2E_BUILD/orvane_e2e_planted.dll"
CWD="$E2E_ROOT/cwd"
NAMES="Msjava.dll jscript.dll Shdocvw.dll Actxprxy.dll Mshtml.dll Urlmon.dll Browseui.dll
       appwiz.cpl msi.dll Oledb32.dll Msado15.dll mshtmled.dll"
unplant() {
  for name in $NAMES; do rm -f "$E2E_APP/$name"; done
  rm -rf "$CWD" "$E2E_APP"/loaded-*
}
trap 'unplant; e2e_cleanup' EXIT
unplant
mkdir -p "$CWD"
for name in $NAMES; do cp "$PLANT" "$E2E_APP/$name"; cp "$PLANT" "$CWD/$name"; done
loaded() { (cd "$E2E_APP" && ls loaded-* 2>/dev/null; cd "$CWD" && ls loaded-* 2>/dev/null) | tr '\n' ' '; }

# Control: a registration by bare name from that folder does load the plant.
(cd "$CWD" && wine regsvr32 /s Msjava.dll </dev/null >/dev/null 2>&1) || true
expect_eq "control: regsvr32 searching the current folder" "loaded-Msjava.dll.txt " "$(loaded)"
rm -f "$CWD"/loaded-*

E2E_CWD="$CWD" e2e_start
e2e_tick_row 0
e2e_tick_row 5
e2e_tick_lock
e2e_press_repair
sleep 5  # the run, then lock passes that start the registrations again as they end
e2e_shot "$E2E_WINDOW" "$E2E_SHOTS/planted.png"
for row in 0 5; do expect_eq "row $row" green "$(e2e_row_result "$E2E_SHOTS/planted.png" "$row")"; done
e2e_stop
sleep 2  # every registration has ended (each takes under 0.1 s)
expect_eq "planted libraries loaded" "" "$(loaded)"
e2e_finish
