# Sourced by the end-to-end scenarios: runs the real orvane.exe under Wine on
# the display the test run provides and drives it through the X server as a
# person would (pointer and keys), then reads the registry and the screen.
#
# Every scenario shares one Wine prefix of its own under <build>/e2e, apart
# from the prefix of the Wine unit tests, and a copy of the program in
# <build>/e2e/app, so Config.ini lands there.
#
# ORVANE_E2E_DPI (96 unless set) is the display resolution the prefix is set
# to; other than 96 the scenario runs in <build>/e2e-scaled. Coordinates are
# written as client pixels at 96 dpi and scaled here.
set -euo pipefail

E2E_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
E2E_BUILD=$(cd "$1" && pwd)
E2E_EXE=$2
E2E_DPI=${ORVANE_E2E_DPI:-96}
E2E_ROOT="$E2E_BUILD/e2e"
[ "$E2E_DPI" = 96 ] || E2E_ROOT="$E2E_BUILD/e2e-scaled"
E2E_APP="$E2E_ROOT/app"
E2E_SHOTS="$E2E_ROOT/shots"
# The screenshots for the README go to docs/ only when asked for (at 96 dpi).
E2E_DOCS="$E2E_ROOT/docs"
if [ "${ORVANE_UPDATE_DOCS:-0}" = 1 ] && [ "$E2E_DPI" = 96 ]; then E2E_DOCS="$E2E_SOURCE/docs"; fi
E2E_PID=
E2E_WINDOW=
E2E_FAILURES=0

. "$E2E_SOURCE/scripts/wine-env.sh"

if [ -z "${DISPLAY:-}" ]; then
  echo "SKIP-FAIL: no DISPLAY; run through scripts/test.sh" >&2
  exit 1
fi

fail() {
  echo "FAIL: $*" >&2
  E2E_FAILURES=$((E2E_FAILURES + 1))
}

expect_eq() {  # what expected actual
  if [ "$2" != "$3" ]; then fail "$1: expected '$2', got '$3'"; else echo "ok: $1"; fi
}

e2e_finish() {
  e2e_stop
  if [ "$E2E_FAILURES" -gt 0 ]; then
    echo "$E2E_FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}

e2e_cleanup() {
  [ "$(e2e_running)" = no ] || kill "$E2E_PID" 2>/dev/null || true
  orvane_wine_stop
}

# 96-dpi client pixels at the scenario's resolution.
e2e_px() { echo $(( ($1 * E2E_DPI + 48) / 96 )); }
# A size in twips as the program rounds it to pixels, "WxH".
e2e_size() { echo "$(( ($1 * E2E_DPI + 720) / 1440 ))x$(( ($2 * E2E_DPI + 720) / 1440 ))"; }

# The prefix's display resolution; the next server start takes it.
e2e_set_dpi() {  # dpi
  local hex txt="$ORVANE_WINE_ROOT/dpi.txt" reg="$ORVANE_WINE_ROOT/dpi.reg"
  hex=$(printf '%08x' "$1")
  {
    printf 'Windows Registry Editor Version 5.00\n\n'
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%s\n\n' "$hex"
    printf '[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n"LogPixels"=dword:%s\n' "$hex"
  } >"$txt"
  { printf '\xff\xfe'; sed 's/$/\r/' "$txt" | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" </dev/null >/dev/null 2>&1
  orvane_wine_stop
}

# A fresh copy of the program without Config.ini, and the prefix (made once).
e2e_setup() {
  mkdir -p "$E2E_ROOT"
  orvane_wine_env "$E2E_ROOT"
  orvane_wine_stop  # a server left from another display cannot show windows here
  orvane_wine_prefix
  e2e_set_dpi "$E2E_DPI"
  mkdir -p "$E2E_APP" "$E2E_SHOTS" "$E2E_DOCS"
  rm -f "$E2E_APP/Config.ini"
  cp "$E2E_EXE" "$E2E_APP/orvane.exe"
  trap e2e_cleanup EXIT
  # Start the server outside any pipe of the caller's.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

e2e_visible_windows() { xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null || true; }

e2e_start() {  # the current folder is the program's unless E2E_CWD names another
  (cd "${E2E_CWD:-$E2E_APP}" && exec wine "$E2E_APP/orvane.exe" </dev/null >"$E2E_ROOT/orvane.log" 2>&1) &
  E2E_PID=$!
  E2E_WINDOW=
  E2E_WINDOW=$(e2e_until 200 xdotool search --onlyvisible --name '^Orvane$' 2>/dev/null | head -n 1) ||
    { echo "the main window did not appear" >&2; exit 1; }
  sleep 0.5
}

e2e_stop() {
  if [ "$(e2e_running)" = yes ]; then kill "$E2E_PID" 2>/dev/null || true; wait "$E2E_PID" 2>/dev/null || true; fi
  E2E_PID=
}
e2e_running() { [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null && echo yes || echo no; }
e2e_ended() { [ "$(e2e_running)" = no ]; }
# Runs a command every 0.1 s until it succeeds, up to `tries` times; four times
# that on a loaded machine, since a wait that succeeds early costs nothing.
e2e_until() {  # tries command...
  local i n=$(($1 * 4))
  shift
  for i in $(seq 1 "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# Client-area pixel coordinates at 96 dpi: a borderless window's X window is its client area.
e2e_click() {  # window x y
  xdotool mousemove --window "$1" "$(e2e_px "$2")" "$(e2e_px "$3")" click 1
  sleep 0.15
}

# The program's visible windows other than the main one; the next one to appear, up to 5 s.
e2e_other_windows() { e2e_visible_windows | grep -vx "$E2E_WINDOW"; }
e2e_no_other_window() { ! e2e_other_windows >/dev/null; }
e2e_wait_other_window() { e2e_until 50 e2e_other_windows | sed -n 1p | grep .; }
e2e_wait_no_other_window() { e2e_until 50 e2e_no_other_window; }
# A message box: Enter closes it.
e2e_dismiss_box() { e2e_wait_other_window >/dev/null && xdotool key Return && e2e_wait_no_other_window; }

e2e_geometry() { xdotool getwindowgeometry "$1" | awk '/Geometry/ {print $2}'; }  # window -> "WxH"
e2e_shot() { import -window "$1" "$2"; }  # window file

# Main window layout at 96 dpi, in client pixels.
E2E_ROW_X=19
e2e_row_y() {  # row scroll-steps -> y of the row's box
  echo $((93 + 29 * $1 - 20 * ${2:-0}))
}
e2e_tick_row() {  # row [scroll-steps]
  e2e_click "$E2E_WINDOW" "$E2E_ROW_X" "$(e2e_row_y "$1" "${2:-0}")"
}
e2e_scroll_down() { local i; for i in $(seq 1 "$1"); do e2e_click "$E2E_WINDOW" 408 347; done; }  # steps
e2e_scroll_up() { local i; for i in $(seq 1 "$1"); do e2e_click "$E2E_WINDOW" 408 87; done; }
e2e_press_repair() { e2e_click "$E2E_WINDOW" 514 372; }
e2e_select_all() { e2e_click "$E2E_WINDOW" 28 373; }
e2e_invert() { e2e_click "$E2E_WINDOW" 68 373; }
e2e_tick_lock() { e2e_click "$E2E_WINDOW" 106 373; }

# Pixels of a colour in a rectangle (96-dpi pixels) of a screenshot: green or red text.
e2e_count_colour() {  # file x y w h green|red
  local filter
  case "$6" in
    green) filter='$2 >= 150 && $1 <= 110 && $3 <= 110' ;;
    red) filter='$1 >= 150 && $2 <= 110 && $3 <= 110' ;;
    blue) filter='$3 >= 150 && $1 <= 90 && $2 <= 160' ;;
  esac
  e2e_pixels "$1" "$(e2e_px "$4")x$(e2e_px "$5")+$(e2e_px "$2")+$(e2e_px "$3")" "$filter"
}
# Pixels of a crop of a screenshot that match an awk filter on "r g b".
e2e_pixels() {  # file geometry filter
  convert "$1" -crop "$2" +repage -depth 8 txt:- | tail -n +2 |
    sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/' | awk "$3 {n++} END {print n+0}"
}

# The colour of a row's result text in a screenshot: green, red or none.
e2e_row_result() {  # file row [scroll-steps]
  local y=$(( $(e2e_row_y "$2" "${3:-0}") - 6 )) green red
  green=$(e2e_count_colour "$1" 20 "$y" 375 16 green)
  red=$(e2e_count_colour "$1" 20 "$y" 375 16 red)
  if [ "$green" -gt 10 ] && [ "$red" -lt 3 ]; then echo green
  elif [ "$red" -gt 10 ] && [ "$green" -lt 3 ]; then echo red
  else echo none; fi
}

# Takes a screenshot to a file; whether a row's result there has a colour.
e2e_row_is() { e2e_shot "$E2E_WINDOW" "$1"; [ "$(e2e_row_result "$1" "$2" "$3")" = "$4" ]; }  # file row steps colour

# Registry access through Wine's reg.exe; its output is in the OEM code page.
e2e_reg() { wine reg "$@" </dev/null 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r'; }
e2e_reg_value() {  # key name ("" for the default value) -> data, or "(absent)"
  local out
  if [ -z "$2" ]; then out=$(e2e_reg query "$1" /ve); else out=$(e2e_reg query "$1" /v "$2"); fi || { echo "(absent)"; return; }
  echo "$out" | awk -F '    ' 'NF >= 4 && $3 ~ /^REG_/ {print $4; found=1} END {if (!found) print "(absent)"}'
}
e2e_key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1 && echo yes || echo no; }  # key -> yes/no
e2e_reg_set() { wine reg add "$1" /v "$2" /d "$3" /f </dev/null >/dev/null 2>&1; }  # key name data
# Polls until a value reads as expected, up to 5 s.
e2e_value_is() { [ "$(e2e_reg_value "$1" "$2")" = "$3" ]; }  # key name data
e2e_wait_value() { e2e_until 50 e2e_value_is "$@"; }
e2e_keyaccess() { wine "$E2E_BUILD/orvane_e2e_adversary.exe" "$@" </dev/null; }  # lock|unlock root path

# Whether a row's box shows its tick in a screenshot: yes or no.
e2e_row_ticked() {  # file row [scroll-steps]
  [ "$(e2e_count_colour "$1" 15 $(( $(e2e_row_y "$2" "${3:-0}") - 4 )) 8 9 blue)" -gt 5 ] && echo yes || echo no
}

# The console program through cmd /c, from the program's folder.
cli() {  # args... -> exit code; output in $E2E_ROOT/cli.out
  (cd "$E2E_APP" && wine cmd /c "orvane-cli.exe $* > cli.out" </dev/null >/dev/null 2>&1) && rc=0 || rc=$?
  tr -d '\r' <"$E2E_APP/cli.out" >"$E2E_ROOT/cli.out"
  echo "$rc"
}
