#pragma once

#include <cstdint>
#include <vector>

#include "now_playing/stream_port.h"

namespace orvane::now_playing {

// The whole stream behind `thumbnail`, as one read delivered it; empty when there is no
// thumbnail, it is empty, or anything fails.
std::vector<uint8_t> ReadThumbnailBytes(StreamPlatform& streams, StreamReference* thumbnail);

}  // namespace orvane::now_playing
