#pragma once

#include "now_playing/now_playing_service.h"

namespace orvane::now_playing {

// The poller thread's body: a reading published about once a second until the service asks it
// to stop.
void PollLoop(NowPlayingService* service);

}  // namespace orvane::now_playing
