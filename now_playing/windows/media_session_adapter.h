#pragma once

// The media-session port over the Runtime's Windows.Media.Control classes.
#include <windows.h>

#include <memory>

#include "now_playing/media_port.h"

namespace orvane::now_playing::windows {

// `stop`: an event whose setting ends the awaits of the port and of the thumbnails it hands out
// (the ports' StopSignal); null for none. It must outlive the port's objects.
std::unique_ptr<MediaPlatform> MakeMediaPlatform(HANDLE stop = nullptr);

}  // namespace orvane::now_playing::windows
