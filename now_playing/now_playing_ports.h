#pragma once

// Everything the service needs from outside itself, injected at construction. The platform ports
// are used on the poller thread only. The Windows adapters provide
// `NowPlayingPorts MakeWindowsPorts()` (now_playing/windows/windows_ports.h), which fills `stop`,
// `media`, `streams` and `windows` with the real ones; the thread start has a standard
// implementation here, replaced only by tests.

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "now_playing/media_port.h"
#include "now_playing/stream_port.h"
#include "now_playing/window_port.h"

namespace orvane::now_playing {

// The service's stop, and the time of the poller's pause. One object, shared by the ports that
// wait on the platform: it lives until its last holder lets go.
class StopSignal {
 public:
  virtual ~StopSignal() = default;
  // Once, on the UI thread, before the poller is joined: the pause ends, and from then on an
  // await of the media and stream ports (under way or later) cancels its operation and reports a
  // failure instead of waiting for it to complete.
  virtual void Set() = 0;
  // The steady clock.
  virtual std::chrono::steady_clock::time_point Now() = 0;
  // Waits until the stop is set or Now() reaches `deadline`, or less (a spurious wake-up, or a
  // step of a wait that cannot be made), but never returns at once without waiting. True when the
  // stop is set.
  virtual bool WaitUntil(std::chrono::steady_clock::time_point deadline) = 0;
};

// Starts a thread running `body`. Throws (as std::thread does, std::system_error) when no thread
// can be created.
using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

// A std::thread.
ThreadStarter StandardThreadStarter();

struct NowPlayingPorts {
  // None when it could not be made: then no poller runs, as nothing could end it.
  std::shared_ptr<StopSignal> stop;
  std::unique_ptr<MediaPlatform> media;
  std::unique_ptr<StreamPlatform> streams;
  std::unique_ptr<WindowPlatform> windows;
  ThreadStarter start_thread = StandardThreadStarter();
};

}  // namespace orvane::now_playing
