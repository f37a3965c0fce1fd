# Sourced: the project's own Wine environment under a build folder.
#   orvane_wine_env BUILD_DIR   exports the variables
#   orvane_wine_prefix          creates the prefix once (locked, reused)
#   orvane_wine_stop            stops this prefix's wineserver only

orvane_wine_env() {
  local build
  # Never a prefix outside a build folder: a missing folder would give "/wine".
  build=$(cd "$1" 2>/dev/null && pwd) && [ -n "$build" ] || { echo "no build folder: $1" >&2; return 1; }
  export ORVANE_WINE_ROOT="$build/wine"
  export WINEPREFIX="$ORVANE_WINE_ROOT/prefix" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export TMPDIR="$ORVANE_WINE_ROOT/tmp" HOME="$ORVANE_WINE_ROOT/home"
  export LOCPATH="$ORVANE_WINE_ROOT/locale"
  # The host shell may lack this locale; only Wine needs it (code page 936).
  { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
  mkdir -p "$TMPDIR" "$HOME" "$LOCPATH"
}

_orvane_wine_settings() {
  local txt="$ORVANE_WINE_ROOT/settings.txt" reg="$ORVANE_WINE_ROOT/settings.reg" face
  {
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
    echo '"Managed"="N"'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineBrowser]'
    echo '"Browsers"=""'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    for face in "宋体" "SimSun" "新宋体" "NSimSun" "微软雅黑" "Microsoft YaHei" "MS Shell Dlg" \
                "MS Shell Dlg 2" "Tahoma" "MS Sans Serif" "Microsoft Sans Serif" "System" "Calibri"; do
      echo "\"$face\"=\"WenQuanYi Micro Hei\""
    done
  } > "$txt"
  { printf '\xff\xfe'; sed 's/$/\r/' "$txt" | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" </dev/null >/dev/null 2>&1
}

_orvane_wine_create() {
  [ -d "$LOCPATH/zh_CN.UTF-8" ] || localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
  _orvane_wine_settings
  wineserver -w
  # Keep everything inside the build folder: the profile folders point at $HOME otherwise.
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos}; do
    if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
  done
  touch "$WINEPREFIX/.orvane-ready"
}

orvane_wine_prefix() {
  [ -f "$WINEPREFIX/.orvane-ready" ] && return 0
  mkdir -p "$ORVANE_WINE_ROOT"
  (
    flock 9
    [ -f "$WINEPREFIX/.orvane-ready" ] || _orvane_wine_create
  ) 9>"$ORVANE_WINE_ROOT/prefix.lock"
}

orvane_wine_stop() {
  [ -d "$WINEPREFIX" ] || return 0
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}
