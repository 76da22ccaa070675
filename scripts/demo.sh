#!/usr/bin/env bash
# The demo command: builds the release bundle (what ships), runs orvane.exe from it under Wine (in a virtual
# display, with the stand-in engine and plug-in libraries), saves a screenshot of its window and
# closes the window as a user would. The stand-in engine's built-in UI shows the arguments it was
# given, what the executable's URL functions answered and what is playing: a media-session
# stand-in (built beside the bundle, never in it) is registered in the demo prefix and plays a
# track with a cover picture (testing/media_session/demo/).
#   scripts/demo.sh [SECONDS] [ARGUMENTS FOR orvane.exe...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-6}
shift || true
arguments=("$@")
[ ${#arguments[@]} -gt 0 ] || arguments=(--demo-argument "two words")

scripts/install-deps.sh
unset ORVANE_UI_BUILD_DIR # the demo shows the stand-in UI

build="$root/build/windows-release"
echo "== building the windows-release preset and its bundle"
cmake --preset windows-release >/dev/null
log="$build/demo-build.log"
cmake --build --preset windows-release -j2 >"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
cmake --build "$build" --target media_session -j2 >>"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
cmake --install "$build" >/dev/null
bundle="$build/bundle"
shot="$build/demo-screenshot.png"

source scripts/virtual-display.sh
trap orvane_stop_display EXIT
orvane_start_display
orvane_keep_desktop_wineserver "$build/desktop-wineprefix"

# The media session: its classes registered to a copy outside the bundle, and a script naming the
# track and its cover.
demo="$build/demo"
mkdir -p "$demo"
cp "$build/testing/media_session/media_session.dll" testing/media_session/demo/cover.png "$demo/"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
for class in Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager \
  Windows.Storage.Streams.Buffer Windows.Storage.Streams.DataReader; do
  "$orvane_wine" reg add "HKLM\\Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\$class" \
    /v DllPath /d "$(windows_path "$demo/media_session.dll")" /f >/dev/null 2>&1
done
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
