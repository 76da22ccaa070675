#!/usr/bin/env bash
# The demo command: builds the release bundle (what ships), runs orvane.exe from it under Wine (in a virtual
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

build="$root/build/windows-release"
echo "== building the windows-release preset and its bundle"
cmake --preset windows-release >/dev/null
log="$build/demo-build.log"
cmake --build --preset windows-release -j2 >"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
cmake --install "$build" >/dev/null
bundle="$build/bundle"
shot="$build/demo-screenshot.png"

source scripts/virtual-display.sh
trap orvane_stop_display EXIT
orvane_start_display
orvane_keep_desktop_wineserver "$build/desktop-wineprefix"

echo "== running $bundle/orvane.exe ${arguments[*]} for ${seconds}s"
(cd "$bundle" && exec "$orvane_wine" orvane.exe "${arguments[@]}") \
  >"$build/demo-orvane.log" 2>&1 </dev/null &
host=$!
sleep "$seconds"
import -window root "$shot"
echo "== screenshot saved: $shot"

"$orvane_wine" "$build/tools/close_window.exe" FLUTTER_RUNNER_WIN32_WINDOW 10 \
  >/dev/null 2>&1 </dev/null || echo "no window to close"
rc=0
wait "$host" || rc=$?
echo "== orvane.exe exit code: $rc"
exit "$rc"
