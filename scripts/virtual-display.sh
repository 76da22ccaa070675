# Sourced by the scripts that run Windows programs: one virtual display and one Wine server for the
# whole run, instead of a new pair for every program (which costs seconds each).
# Sets DISPLAY; call orvane_stop_display at the end (the scripts trap it on exit).

orvane_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  ORVANE_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
}

orvane_stop_display() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${ORVANE_XVFB_PID:-}" ]; then
    kill "$ORVANE_XVFB_PID" >/dev/null 2>&1 || true
    wait "$ORVANE_XVFB_PID" 2>/dev/null || true
  fi
}

# Keeps the prefix's Wine server alive between programs.
orvane_keep_wineserver() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  wineserver -p >/dev/null 2>&1 || true
}
