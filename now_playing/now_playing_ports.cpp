#include "now_playing/now_playing_ports.h"

#include <utility>

namespace orvane::now_playing {

ThreadStarter StandardThreadStarter() {
  return [](std::function<void()> body) { return std::thread(std::move(body)); };
}

}  // namespace orvane::now_playing
