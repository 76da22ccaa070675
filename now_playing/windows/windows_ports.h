#pragma once

// The now-playing service's ports over the real platform: the Runtime's media-session and stream
// classes and the Win32 window manager.
#include "now_playing/now_playing_ports.h"

namespace orvane::now_playing::windows {

NowPlayingPorts MakeWindowsPorts();

}  // namespace orvane::now_playing::windows
