#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "url_probe/probe_port.h"

namespace orvane::url_probe {

// What the worker needs from outside: its thread's COM set-up and the probe itself. The state
// only refers to its port, which is never deleted through this interface.
class UrlWorkerPort {
 public:
  virtual void PrepareThread() = 0;
  virtual std::u16string Probe(WindowHandle hwnd) = 0;

 protected:
  ~UrlWorkerPort() = default;
};

// The worker port of the product: the untraced probe over a platform.
class PlatformWorkerPort : public UrlWorkerPort {
 public:
  explicit PlatformWorkerPort(ProbePlatform& platform) : platform_(platform) {}
  void PrepareThread() override;
  std::u16string Probe(WindowHandle hwnd) override;

 private:
  ProbePlatform& platform_;
};

// Starts `body` on a new detached thread; throws std::system_error when it cannot.
using ThreadLauncher = std::function<void(std::function<void()> body)>;
void launch_detached_thread(std::function<void()> body);

// Requests for background probes, the one worker that serves them, and the cache of their
// results. The worker runs for the rest of the process: an instance must never be destroyed once
// a request has started it.
class UrlProbeState {
 public:
  explicit UrlProbeState(UrlWorkerPort& port, ThreadLauncher launch = launch_detached_thread);
  UrlProbeState(const UrlProbeState&) = delete;
  UrlProbeState& operator=(const UrlProbeState&) = delete;

  // Posts `hwnd` for the worker, replacing a request it has not yet taken. Never blocks on a
  // probe. A null handle is ignored.
  void Request(WindowHandle hwnd);
  // The worker's last result for `hwnd`; empty when there is none.
  std::u16string CachedUrl(WindowHandle hwnd);

  static constexpr size_t kCacheLimit = 32;

 private:
  void StartWorkerIfNeeded();
  void url_worker_main();
  void Store(WindowHandle hwnd, std::u16string url);

  UrlWorkerPort& port_;
  ThreadLauncher launch_;

  std::mutex lock;
  std::condition_variable wake;
  WindowHandle pending_hwnd = nullptr;
  bool worker_started = false;
  std::unordered_map<uintptr_t, std::u16string> url_cache;
};

}  // namespace orvane::url_probe
