#!/usr/bin/env bash
# The demo command: builds the Windows bundle, runs orvane.exe from it under Wine (in a virtual
# display, with the stand-in engine and plug-in libraries), saves a screenshot of its window and
# closes the window as a user would. The stand-in engine's built-in UI shows the arguments it was
# given and what the executable's URL functions answered.
#   scripts/demo.sh [SECONDS] [ARGUMENTS FOR orvane.exe...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-6}
shift || true
arguments=("$@")
[ ${#arguments[@]} -gt 0 ] || arguments=(--demo-argument "two words")

scripts/install-deps.sh

echo "== building the windows preset and its bundle"
cmake --preset windows >/dev/null
log="$root/build/windows/demo-build.log"
cmake --build --preset windows -j2 >"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
cmake --install build/windows >/dev/null
bundle="$root/build/windows/bundle"
shot="$root/build/windows/demo-screenshot.png"

source scripts/virtual-display.sh
trap orvane_stop_display EXIT
orvane_start_display
orvane_keep_desktop_wineserver "$root/build/windows/desktop-wineprefix"

echo "== running $bundle/orvane.exe ${arguments[*]} for ${seconds}s"
(cd "$bundle" && exec "$orvane_wine" orvane.exe "${arguments[@]}") \
  >"$root/build/windows/demo-orvane.log" 2>&1 </dev/null &
host=$!
sleep "$seconds"
import -window root "$shot"
echo "== screenshot saved: $shot"

"$orvane_wine" "$root/build/windows/tools/close_window.exe" FLUTTER_RUNNER_WIN32_WINDOW 10 \
  >/dev/null 2>&1 </dev/null || echo "no window to close"
rc=0
wait "$host" || rc=$?
echo "== orvane.exe exit code: $rc"
exit "$rc"
