#!/usr/bin/env bash
# Start-up and exit of orvane.exe (bundle, stand-in engine) under Wine, beside a bare Win32
# program that only opens a window: medians over RUNS runs of the time from CreateProcess until
# the window is visible (for orvane.exe that is the engine's first frame) and from WM_CLOSE until
# the process has ended. Measured by testing/tools/startup_timer.cpp inside Wine.
#   scripts/measure-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-15}

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 >/dev/null
cmake --install build/windows >/dev/null

source scripts/virtual-display.sh
trap orvane_stop_display EXIT
orvane_start_display
export ORVANE_WINEPREFIX="$root/build/windows/desktop-wineprefix"
orvane_keep_desktop_wineserver "$ORVANE_WINEPREFIX"

timer="$root/build/windows/tools/startup_timer.exe"
to_windows() { echo "Z:${1//\//\\}"; }
measure() {
  local label=$1 class=$2 program=$3
  shift 3
  echo "== $label"
  # The stand-in UI only looks the URL exports up: the measurement is of the shell, not the probe.
  (cd "$(dirname "$program")" && ORVANE_STANDIN_CALL_EXPORTS=0 \
    "$root/build/windows/wine-run.sh" "$timer" "$runs" "$class" "$(to_windows "$program")" "$@")
}
measure "bare Win32 window (testing/tools/bare_window.cpp)" ORVANE_BARE_WINDOW \
  "$root/build/windows/tools/bare_window.exe"
measure "orvane.exe with the stand-in engine (build/windows/bundle)" FLUTTER_RUNNER_WIN32_WINDOW \
  "$root/build/windows/bundle/orvane.exe"
