# Sourced by the scripts that run the release bundle under Wine (demo and measurements): builds and
# installs it on the stand-ins, starts the virtual display and the prefix's desktop, and registers
# the media-session stand-in (never part of the bundle) in that prefix.
# Sets root, build, bundle; provides windows_path, orvane_register_standin and
# orvane_register_media_session.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/virtual-display.sh"

build="$root/build/windows-release"
bundle="$build/bundle"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Builds and installs the bundle (with the stand-in engine and plug-ins: what these scripts show
# comes from them), and beside it the media-session and UI Automation stand-ins and the
# browser-like window; the build log goes to $1.
orvane_release_bundle() {
  local log=$1
  "$root/scripts/install-deps.sh"
  unset ORVANE_UI_BUILD_DIR
  cmake --preset windows-release >/dev/null
  { cmake --build --preset windows-release -j2 &&
    cmake --build "$build" --target media_session uia_server browser_window -j2; } >"$log" 2>&1 || {
    tail -n 40 "$log"
    exit 1
  }
  cmake --install "$build" >/dev/null
  trap orvane_stop_display EXIT
  orvane_start_display
  export ORVANE_WINEPREFIX="$build/desktop-wineprefix"
  orvane_keep_desktop_wineserver "$ORVANE_WINEPREFIX"
}

# Copies the stand-in library $2 (its path in the build) and the files after it to folder $1, and
# registers the library there with its own DllRegisterServer, as the tests do.
orvane_register_standin() {
  local folder=$1 library=$2
  mkdir -p "$folder"
  cp "$build/$library" "${@:3}" "$folder/"
  "$orvane_wine" regsvr32 /s "$(windows_path "$folder/${library##*/}")" >/dev/null 2>&1
}

# The media-session stand-in and the demo cover, in folder $1.
orvane_register_media_session() {
  orvane_register_standin "$1" testing/media_session/media_session.dll "$root/demo/cover.png"
}
