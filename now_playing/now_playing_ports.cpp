#include "now_playing/now_playing_ports.h"

#include <utility>

namespace orvane::now_playing {
namespace {

class SteadyClock : public PollerClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }
  void SleepUntil(std::chrono::steady_clock::time_point deadline) override {
    std::this_thread::sleep_until(deadline);
  }
};

}  // namespace

std::unique_ptr<PollerClock> MakeSteadyClock() { return std::make_unique<SteadyClock>(); }

ThreadStarter StandardThreadStarter() {
  return [](std::function<void()> body) { return std::thread(std::move(body)); };
}

}  // namespace orvane::now_playing
