# Sourced by the scripts that run the release bundle under Wine (demo and measurements): builds and
# installs it on the stand-ins, starts the virtual display and the prefix's desktop, and registers
# the media-session stand-in (never part of the bundle) in that prefix.
# Sets root, build, bundle; provides windows_path and orvane_register_media_session.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/virtual-display.sh"

build="$root/build/windows-release"
bundle="$build/bundle"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Builds and installs the bundle (with the stand-in engine and plug-ins: what these scripts show
# comes from them), and the media-session stand-in beside it; the build log goes to $1.
orvane_release_bundle() {
  local log=$1
  "$root/scripts/install-deps.sh"
  unset ORVANE_UI_BUILD_DIR
  cmake --preset windows-release >/dev/null
  { cmake --build --preset windows-release -j2 &&
    cmake --build "$build" --target media_session -j2; } >"$log" 2>&1 || {
    tail -n 40 "$log"
    exit 1
  }
  cmake --install "$build" >/dev/null
  trap orvane_stop_display EXIT
  orvane_start_display
  export ORVANE_WINEPREFIX="$build/desktop-wineprefix"
  orvane_keep_desktop_wineserver "$ORVANE_WINEPREFIX"
}

# Copies the media-session stand-in and the demo cover to folder $1 and registers its classes there.
orvane_register_media_session() {
  local folder=$1 class
  mkdir -p "$folder"
  cp "$build/testing/media_session/media_session.dll" "$root/demo/cover.png" \
    "$folder/"
  for class in Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager \
    Windows.Storage.Streams.Buffer Windows.Storage.Streams.DataReader; do
    "$orvane_wine" reg add "HKLM\\Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\$class" \
      /v DllPath /d "$(windows_path "$folder/media_session.dll")" /f >/dev/null 2>&1
  done
}
