#include "url_probe/url_probe_state.h"

#include <thread>
#include <utility>

#include "url_probe/address_bar_search.h"

namespace orvane::url_probe {
namespace {

uintptr_t Key(WindowHandle hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

}  // namespace

void PlatformWorkerPort::PrepareThread() {
  // A failure here is left to each probe's own initialisation.
  platform_.InitializeCom();
}

std::u16string PlatformWorkerPort::Probe(WindowHandle hwnd) {
  return probe_url_for_window(platform_, hwnd, ProbeForm::kUntraced);
}

void launch_detached_thread(std::function<void()> body) { std::thread(std::move(body)).detach(); }

UrlProbeState::UrlProbeState(UrlWorkerPort& port, ThreadLauncher launch)
    : port_(port), launch_(std::move(launch)) {}

void UrlProbeState::Request(WindowHandle hwnd) {
  if (hwnd == nullptr) return;
  StartWorkerIfNeeded();
  {
    std::lock_guard<std::mutex> guard(lock);
    pending_hwnd = hwnd;
  }
  wake.notify_one();
}

void UrlProbeState::StartWorkerIfNeeded() {
  std::lock_guard<std::mutex> guard(lock);
  if (worker_started) return;
  worker_started = true;
  try {
    launch_([this] { url_worker_main(); });
  } catch (...) {
    // No thread now; a later request tries again. Until then the request just waits in the slot.
    worker_started = false;
  }
}

std::u16string UrlProbeState::CachedUrl(WindowHandle hwnd) {
  std::lock_guard<std::mutex> guard(lock);
  const auto entry = url_cache.find(Key(hwnd));
  return entry == url_cache.end() ? std::u16string() : entry->second;
}

void UrlProbeState::url_worker_main() {
  port_.PrepareThread();
  std::unique_lock<std::mutex> guard(lock);
  for (;;) {
    wake.wait(guard, [this] { return pending_hwnd != nullptr; });
    WindowHandle hwnd = pending_hwnd;
    pending_hwnd = nullptr;
    guard.unlock();
    std::u16string url;
    try {
      url = port_.Probe(hwnd);
    } catch (...) {
      // Nothing may end the worker: a probe that fails this way found nothing.
    }
    guard.lock();
    try {
      Store(hwnd, std::move(url));
    } catch (...) {
      // Out of memory: the cache stays as it was.
    }
  }
}

void UrlProbeState::Store(WindowHandle hwnd, std::u16string url) {
  // Emptied whole rather than evicted one by one: the bound only has to stop unlimited growth.
  if (url_cache.size() > kCacheLimit) url_cache.clear();
  url_cache[Key(hwnd)] = std::move(url);
}

}  // namespace orvane::url_probe
