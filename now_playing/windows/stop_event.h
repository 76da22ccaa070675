#pragma once

// The service's stop on Windows: one manual-reset event, on which both the poller's pause and the
// awaits of the media and stream adapters wait. The adapters share it, so it lives until the last
// of them has gone.
#include <windows.h>

#include <chrono>
#include <memory>

#include "now_playing/now_playing_ports.h"
#include "now_playing/windows/runtime/holders.h"

namespace orvane::now_playing::windows {

class StopEvent final : public StopSignal {
 public:
  // None when the event cannot be created.
  static std::shared_ptr<StopEvent> Make();

  void Set() override;
  std::chrono::steady_clock::time_point Now() override;
  bool WaitUntil(std::chrono::steady_clock::time_point deadline) override;

  HANDLE Get() const { return event_.Get(); }

 private:
  runtime::Event event_;
};

// What the adapters hold; null: their awaits have no stop.
using SharedStop = std::shared_ptr<const StopEvent>;

inline HANDLE EventOf(const SharedStop& stop) { return stop ? stop->Get() : nullptr; }

}  // namespace orvane::now_playing::windows
