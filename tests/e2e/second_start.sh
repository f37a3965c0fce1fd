#!/usr/bin/env bash
# A second start brings the running window to the front and ends at once.
. "$(dirname "$0")/lib/e2e.sh"
e2e_setup
e2e_start
first=$E2E_WINDOW

status=0
(cd "$E2E_APP" && timeout 20 wine "$E2E_APP/orvane.exe" </dev/null >/dev/null 2>&1) || status=$?
expect_eq "second start's exit status" 0 "$status"
sleep 0.5
expect_eq "windows named Orvane" 1 "$(xdotool search --onlyvisible --name '^Orvane$' 2>/dev/null | wc -l)"
expect_eq "the first copy still runs" yes "$(kill -0 "$E2E_PID" 2>/dev/null && echo yes || echo no)"
expect_eq "focus on the running window" "$first" "$(xdotool getwindowfocus 2>/dev/null || echo none)"
e2e_finish
