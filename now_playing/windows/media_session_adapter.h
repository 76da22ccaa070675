#pragma once

// The media-session port over the Runtime's Windows.Media.Control classes.
#include <memory>

#include "now_playing/media_port.h"
#include "now_playing/windows/stop_event.h"

namespace orvane::now_playing::windows {

// `stop` ends the awaits of the port and of the thumbnails it hands out once it is set; null for
// none.
std::unique_ptr<MediaPlatform> MakeMediaPlatform(SharedStop stop = nullptr);

}  // namespace orvane::now_playing::windows
