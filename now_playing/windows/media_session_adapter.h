#pragma once

// The media-session port over the Runtime's Windows.Media.Control classes.
#include <memory>

#include "now_playing/media_port.h"

namespace orvane::now_playing::windows {

std::unique_ptr<MediaPlatform> MakeMediaPlatform();

}  // namespace orvane::now_playing::windows
