#!/usr/bin/env bash
# Start-up and exit of the release orvane.exe (bundle, stand-in engine) under Wine, beside a bare
# Win32 program that only opens a window, runs taking turns: medians over RUNS runs of each
# start-up step, as the time since the process was created and since the step before (the
# stand-in engine marks the steps it sees of the host's start-up, the bare window marks its own),
# of the time until the window is visible (for orvane.exe that is the engine's first frame) and
# from WM_CLOSE until the process has ended; then the host's own spans. Measured by
# tools/startup_timer.cpp inside Wine.
#   scripts/measure-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}

source scripts/release-bundle.sh
orvane_release_bundle "$build/measure-build.log"

echo "== bare Win32 window (tools/bare_window.cpp) and $build/bundle/orvane.exe, $runs runs"
(cd "$build/bundle" && "$build/wine-run.sh" "$build/tools/startup_timer.exe" "$runs" \
  bare ORVANE_BARE_WINDOW "$(windows_path "$build/tools/bare_window.exe")" \
  orvane.exe FLUTTER_RUNNER_WIN32_WINDOW "$(windows_path "$build/bundle/orvane.exe")")
