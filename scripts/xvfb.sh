# Sourced: a private X display for Wine's windows.
#   orvane_xvfb_start [WxH]  starts Xvfb on a free display (1024x768) and exports DISPLAY
#   orvane_xvfb_stop    stops the Xvfb this shell started
orvane_xvfb_start() {
  local n=91
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${1:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  ORVANE_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

orvane_xvfb_stop() {
  if [ -n "${ORVANE_XVFB_PID:-}" ]; then
    kill "$ORVANE_XVFB_PID" 2>/dev/null || true
    wait "$ORVANE_XVFB_PID" 2>/dev/null || true
    ORVANE_XVFB_PID=
  fi
}
