# Sourced by the scripts that run Windows programs: one virtual display and one Wine server for the
# whole run, instead of a new pair for every program (which costs seconds each).
# Sets DISPLAY; call orvane_stop_display at the end (the scripts trap it on exit).

source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

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
  orvane_use_prefix "$1"
  wineserver -p >/dev/null 2>&1 || true
}

# A prefix whose programs run in a Wine virtual desktop, where Wine draws window frames and titles
# itself (the bare X display has no window manager to draw them, and Wine waits 2 s for one at
# every hide of a shown window). For the demo and the start-up measurement; tests use their own.
orvane_keep_desktop_wineserver() {
  orvane_keep_wineserver "$1"
  if ! grep -q '"Desktop"="Default"' "$1/user.reg" 2>/dev/null; then
    "$orvane_wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$orvane_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1920x1080 /f \
      >/dev/null 2>&1
    # The desktop setting is read when the desktop starts: start the prefix's processes afresh.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    orvane_keep_wineserver "$1"
  fi
}
