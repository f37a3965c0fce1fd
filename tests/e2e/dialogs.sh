#!/usr/bin/env bash
# The settings dialog and the context-menu manager driven as a person would:
# real X input into orvane.exe under Wine and Xvfb, then the registry and
# Config.ini checked. Screenshots of both dialogs are left in the work folder.
# Arguments: build folder, path of orvane.exe.
set -euo pipefail
build=$(cd "$1" && pwd)
exe=$2
repo=$(cd "$(dirname "$0")/../.." && pwd)
work="$build/e2e/dialogs"

. "$repo/scripts/xvfb.sh"
. "$repo/scripts/wine-env.sh"
orvane_wine_env "$build"

fail=0
check() {  # description, actual, expected
  if [ "$2" != "$3" ]; then
    printf 'FAIL: %s\n  got:      %q\n  expected: %q\n' "$1" "$2" "$3" >&2
    fail=1
  else
    echo "ok: $1"
  fi
}

cleanup() {
  orvane_wine_stop
  orvane_xvfb_stop
}
trap cleanup EXIT

# The prefix's server must start after the display exists.
orvane_wine_stop
orvane_xvfb_start
orvane_wine_prefix

rm -rf "$work"
mkdir -p "$work"
cp "$exe" "$work/orvane.exe"

menuext='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
reg_value() {  # key, value name
  wine reg query "$1" /v "$2" </dev/null 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    sed -n "s/^ *$2 *REG_SZ *//p"
}
reg_subkeys() {  # key: the last path component of each subkey, one a line
  wine reg query "$1" </dev/null 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    sed -n 's/^HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\//p'
}

wine reg delete "$menuext" /f </dev/null >/dev/null 2>&1 || true
for name in Alpha 百度搜索 Beta 'Alpha\Sub'; do
  wine reg add "$menuext\\$name" /ve /d 'res://menu.dll/item.htm' /f </dev/null >/dev/null 2>&1
done
for key in 'HKCU\Software\Microsoft\Internet Explorer\Main' 'HKLM\Software\Microsoft\Internet Explorer\Main'; do
  wine reg delete "$key" /v 'Start Page' /f </dev/null >/dev/null 2>&1 || true
done

window() {  # title regex; waits up to 10 s for a visible window
  local id i
  for i in $(seq 1 50); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  echo "no window $1" >&2
  return 1
}
gone() {  # title regex; waits up to 5 s for it to close
  local i
  for i in $(seq 1 25); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.2; }
replace_text() {  # window, x, y, text: click into a box, select it all, type over it
  click "$1" "$2" "$3"
  xdotool key End shift+Home
  xdotool type --delay 20 "$4"
}
shot() {  # window, file
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

(cd "$work" && wine orvane.exe </dev/null >/dev/null 2>&1 &)
main=$(window '^Orvane$')

# Positions below are client pixels at 96 dpi (twips / 15).

# --- Settings: OK tidies, applies and saves.
click "$main" 553 14  # imin
dlg=$(window '^设置$')
replace_text "$dlg" 150 85 ' www.e2e.example '      # txthomepage (240, 1200)
replace_text "$dlg" 150 165 'HTTPS://find.example'  # txtsearch (240, 2400)
shot "$dlg" "$work/setfrm.png"
click "$dlg" 339 218  # imgok (4560, 3120)
gone '^设置$' && check "settings dialog closes on OK" yes yes || check "settings dialog closes on OK" no yes
expected=$'[IEConfig]\r\nHomePage=http://www.e2e.example\r\nSEO=HTTPS://find.example\r'
check "Config.ini bytes" "$(od -An -c "$work/Config.ini" | tr -s ' ')" \
  "$(printf '%s\n' "$expected" | od -An -c | tr -s ' ')"
check "HKCU start page" "$(reg_value 'HKCU\Software\Microsoft\Internet Explorer\Main' 'Start Page')" \
  "http://www.e2e.example"
check "HKLM start page" "$(reg_value 'HKLM\Software\Microsoft\Internet Explorer\Main' 'Start Page')" \
  "http://www.e2e.example"
check "search page" "$(reg_value 'HKLM\Software\Microsoft\Internet Explorer\Search' 'SearchAssistant')" \
  "HTTPS://find.example"

# --- Settings: the close button changes nothing.
before=$(od -An -c "$work/Config.ini")
click "$main" 553 14
dlg=$(window '^设置$')
replace_text "$dlg" 150 85 'www.discarded.example'
click "$dlg" 377 10  # iclose (5500, 60)
gone '^设置$' && check "settings dialog closes on close" yes yes || check "settings dialog closes on close" no yes
check "Config.ini unchanged by close" "$(od -An -c "$work/Config.ini")" "$before"
check "start page unchanged by close" \
  "$(reg_value 'HKCU\Software\Microsoft\Internet Explorer\Main' 'Start Page')" "http://www.e2e.example"

# --- Settings: text outside the ANSI code page reaches the registry as typed, and Config.ini
# becomes UTF-16 with a byte-order mark.
click "$main" 553 14
dlg=$(window '^设置$')
replace_text "$dlg" 150 85 'http://예시.한국/시작'
click "$dlg" 339 218
gone '^设置$' || true
wine reg export 'HKCU\Software\Microsoft\Internet Explorer\Main' "$work/main.reg" /y </dev/null >/dev/null 2>&1
check "HKCU start page as typed" \
  "$(iconv -f UTF-16 -t UTF-8 "$work/main.reg" | tr -d '\r' | sed -n 's/^"Start Page"="\(.*\)"$/\1/p')" \
  "http://예시.한국/시작"
check "Config.ini byte-order mark" "$(head -c 2 "$work/Config.ini" | od -An -tx1 | tr -d ' ')" "fffe"
check "Config.ini start page" "$(iconv -f UTF-16 -t UTF-8 "$work/Config.ini" | tr -d '\r' | sed -n 's/^HomePage=//p')" \
  "http://예시.한국/시작"

# --- Context-menu manager, opened by repairing item 10 alone.
xdotool mousemove --window "$main" 408 345 click --repeat 40 --delay 20 1  # list to its end
sleep 0.3
click "$main" 18 284   # row 10's box once the list is at its end
click "$main" 513 372  # ibtndo
menu=$(window '^IE鼠标右键菜单管理$')
shot "$menu" "$work/frmmenu.png"

click "$menu" 339 227  # imgclear (4560, 3240) with nothing ticked: message 1003
boxes=$(xdotool search --onlyvisible --name '^Orvane$' | grep -vx "$main" || true)
check "message box when nothing is ticked" "$(echo "$boxes" | grep -c . || true)" 1
if [ -n "$boxes" ]; then
  shot "$boxes" "$work/message.png"
  eval "$(xdotool getwindowgeometry --shell "$boxes")"
  click "$boxes" $((WIDTH / 2)) $((HEIGHT - 27))  # its OK button
  gone_box=yes
  xdotool search --onlyvisible --name '^Orvane$' | grep -qvx "$main" && gone_box=no
  check "message box dismissed" "$gone_box" yes
fi
sleep 0.3
check "nothing deleted without ticks" "$(reg_subkeys "$menuext" | tr '\n' ' ')" "Alpha Beta 百度搜索 "

click "$menu" 60 72           # tick line 0 (Alpha)
xdotool key Down Down space   # tick line 2 (百度搜索)
sleep 0.2
click "$menu" 339 227
check "ticked entries deleted, one with a subkey" "$(reg_subkeys "$menuext" | tr '\n' ' ')" "Beta "
shot "$menu" "$work/frmmenu-after.png"
click "$menu" 377 10  # iclose
gone '^IE鼠标右键菜单管理$' && check "manager closes" yes yes || check "manager closes" no yes

exit $fail
