#pragma once

// Everything the service needs from outside itself, injected at construction. The platform ports
// are used on the poller thread only. The Windows adapters provide
// `NowPlayingPorts MakeWindowsPorts()` (now_playing/windows/windows_ports.h), which fills
// `media`, `streams`, `windows` and `stop` with the real ones; the clock and the thread start
// have standard implementations here, replaced only by tests.

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "now_playing/media_port.h"
#include "now_playing/stream_port.h"
#include "now_playing/window_port.h"

namespace orvane::now_playing {

// The poller's pauses.
class PollerClock {
 public:
  virtual ~PollerClock() = default;
  virtual std::chrono::steady_clock::time_point Now() = 0;
  virtual void SleepUntil(std::chrono::steady_clock::time_point deadline) = 0;
};

// The steady clock and std::this_thread::sleep_until.
std::unique_ptr<PollerClock> MakeSteadyClock();

// Ends the poller's waits on the platform once the service stops. Called once, on the UI thread,
// before the poller is joined: from then on an await of the media and stream ports (under way or
// later) cancels its operation and reports a failure instead of waiting for it to complete.
using StopSignal = std::function<void()>;

// Starts a thread running `body`. Throws (as std::thread does, std::system_error) when no thread
// can be created.
using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

// A std::thread.
ThreadStarter StandardThreadStarter();

struct NowPlayingPorts {
  std::unique_ptr<MediaPlatform> media;
  std::unique_ptr<StreamPlatform> streams;
  std::unique_ptr<WindowPlatform> windows;
  StopSignal stop;  // empty: the awaits have nothing to give up for
  std::unique_ptr<PollerClock> clock = MakeSteadyClock();
  ThreadStarter start_thread = StandardThreadStarter();
};

}  // namespace orvane::now_playing
