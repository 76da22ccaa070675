#!/usr/bin/env bash
# How long the release orvane.exe (bundle, stand-in engine) takes under Wine from WM_CLOSE until
# its process has ended, with the media-session stand-in playing a track: as it is, and with each
# awaited media call never completing. Medians over RUNS runs (testing/tools/startup_timer.cpp),
# the window closed 1.5 s after it became visible, when the poller's first pass is stuck or over.
#   scripts/measure-close.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}

source scripts/release-bundle.sh
orvane_release_bundle "$build/measure-build.log"
media="$build/measure-close"
orvane_register_media_session "$media"
export ORVANE_MEDIA_SESSION_SCRIPT ORVANE_TIMER_CLOSE_AFTER_MS=1500 ORVANE_STANDIN_CALL_EXPORTS=0
ORVANE_MEDIA_SESSION_SCRIPT=$(windows_path "$media/session.txt")
for never in "" RequestAsync TryGetMediaPropertiesAsync OpenReadAsync ReadAsync; do
  printf 'title=Song\nartist=Band\napp_id=Spotify.exe\nstatus=playing\nthumbnail=%s\nnever=%s\n' \
    "$(windows_path "$media/cover.png")" "$never" >"$media/session.txt"
  printf '%-28s' "${never:-no call stuck}"
  (cd "$build/bundle" && "$build/wine-run.sh" "$build/tools/startup_timer.exe" "$runs" \
    orvane.exe FLUTTER_RUNNER_WIN32_WINDOW "$(windows_path "$build/bundle/orvane.exe")") |
    grep -E '^WM_CLOSE to exit' | sed -E 's/\r//; s/^WM_CLOSE to exit +/median /; s/ *$/ ms/'
done
