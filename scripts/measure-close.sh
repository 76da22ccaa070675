#!/usr/bin/env bash
# How long closing takes under Wine, from WM_CLOSE until the process has ended, side by side:
# the release orvane.exe (bundle, stand-in engine) with the now-playing service running (the
# media-session stand-in playing a track), the same with the service never started, and a bare
# Win32 window. Each OPERATION named after RUNS adds a column with the service running and that
# awaited media call never completing (RequestAsync, TryGetMediaPropertiesAsync, OpenReadAsync,
# ReadAsync). The programs take turns, one run each per round; every window is closed 1.5 s after
# it became visible, when the poller's first pass is over (or stuck). Medians over RUNS rounds,
# each run timed by tools/startup_timer.cpp.
#   scripts/measure-close.sh [RUNS [OPERATION...]]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
shift || true

source scripts/release-bundle.sh
orvane_release_bundle "$build/measure-build.log"
media="$build/measure-close"
orvane_register_media_session "$media"
export ORVANE_TIMER_CLOSE_AFTER_MS=1500
export ORVANE_MEDIA_SESSION_SCRIPT
ORVANE_MEDIA_SESSION_SCRIPT=$(windows_path "$media/session.txt")
cover=$(windows_path "$media/cover.png")

# One timed run of column $1; prints its milliseconds from WM_CLOSE to exit.
close_once() {
  local column=$1 label=orvane.exe class=FLUTTER_RUNNER_WIN32_WINDOW program=$bundle/orvane.exe
  local never="" started=1
  case "$column" in
    running) ;;
    never-started) started=0 ;;
    bare) label=bare class=ORVANE_BARE_WINDOW program=$build/tools/bare_window.exe ;;
    *) never=$column ;;
  esac
  printf 'title=Song\nartist=Band\napp_id=Spotify.exe\nstatus=playing\nthumbnail=%s\nnever=%s\n' \
    "$cover" "$never" >"$media/session.txt"
  (cd "$bundle" && ORVANE_STANDIN_NOW_PLAYING=$started \
    "$build/wine-run.sh" "$build/tools/startup_timer.exe" 1 "$label" "$class" \
    "$(windows_path "$program")") |
    sed -nE 's/\r//; s/^WM_CLOSE to exit +([0-9.]+).*/\1/p'
}

median() { sort -g | awk '{v[NR] = $1} END {print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

columns=(running never-started bare "$@")
samples=$(mktemp -d)
trap 'rm -rf "$samples"; orvane_stop_display' EXIT
for ((run = 1; run <= runs; run++)); do
  printf 'round %2d:' "$run"
  for column in "${columns[@]}"; do
    ms=$(close_once "$column")
    [ -n "$ms" ] || { echo " $column: no measurement" >&2; exit 1; }
    echo "$ms" >>"$samples/$column"
    printf '  %s %s' "$column" "$ms"
  done
  echo
done
echo "WM_CLOSE to exit, median of $runs runs (ms):"
for column in "${columns[@]}"; do
  printf '  %-28s %8.1f\n' "$column" "$(median <"$samples/$column")"
done
