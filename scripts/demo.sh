#!/usr/bin/env bash
# The demo command: builds the release bundle (what ships), runs orvane.exe from it under Wine (in a virtual
# display, with the stand-in engine and plug-in libraries), saves a screenshot of its window and
# closes the window as a user would. The demo's UI program (demo/), run by the stand-in engine,
# shows the arguments it was given, what the executable's URL functions answer for a browser-like
# window with a page address in its address bar (read through the UI Automation stand-in), and
# what is playing: the media-session stand-in plays a track with a cover picture. The stand-ins
# are built beside the bundle, never in it, and registered in the demo prefix.
#   scripts/demo.sh [SECONDS] [ARGUMENTS FOR orvane.exe...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-6}
shift || true
arguments=("$@")
[ ${#arguments[@]} -gt 0 ] || arguments=(--demo-argument "two words")

source scripts/release-bundle.sh
echo "== building the windows-release preset and its bundle"
orvane_release_bundle "$build/demo-build.log"
shot="$build/demo-screenshot.png"

# The media session: its classes registered to a copy outside the bundle, and a script naming the
# track and its cover.
demo="$build/demo-standins"
orvane_register_media_session "$demo"
cat >"$demo/session.txt" <<EOF
title=Harbour Lights
artist=The Quiet Examples
album=Songs for Testing
app_id=Spotify.exe
status=playing
thumbnail=$(windows_path "$demo/cover.png")
EOF
export ORVANE_MEDIA_SESSION_SCRIPT
ORVANE_MEDIA_SESSION_SCRIPT=$(windows_path "$demo/session.txt")

# A browser-like window with a page address in its address bar; the UI program finds it by title.
orvane_register_standin "$demo" testing/uia_server/uia_server.dll
export ORVANE_UIA_SERVER_LIVE=1
export ORVANE_DEMO_BROWSER="Example page"
page="https://example.org/orvane/demo"
"$orvane_wine" "$build/testing/browser_window/browser_window.exe" --address "$page" \
  "$ORVANE_DEMO_BROWSER" >"$build/demo-browser.log" 2>&1 </dev/null &
browser=$!

echo "== running $bundle/orvane.exe ${arguments[*]} for ${seconds}s"
(cd "$bundle" && exec "$orvane_wine" orvane.exe "${arguments[@]}") \
  >"$build/demo-orvane.log" 2>&1 </dev/null &
host=$!
sleep "$seconds"
import -window root "$shot"
echo "== screenshot saved: $shot"

# What cannot be closed as a user would is ended, so that the waits below cannot hang.
"$orvane_wine" "$build/tools/close_window.exe" FLUTTER_RUNNER_WIN32_WINDOW 10 \
  >/dev/null 2>&1 </dev/null || { echo "no window to close"; kill "$host" 2>/dev/null || true; }
rc=0
wait "$host" || rc=$?
"$orvane_wine" "$build/tools/close_window.exe" ORVANE_BROWSER_WINDOW 10 >/dev/null 2>&1 </dev/null ||
  kill "$browser" 2>/dev/null || true
wait "$browser" || true
echo "== orvane.exe exit code: $rc"
exit "$rc"
