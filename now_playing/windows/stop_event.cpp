#include "now_playing/windows/stop_event.h"

namespace orvane::now_playing::windows {
namespace {

constexpr DWORD kFailedWaitStep = 100;  // milliseconds

}  // namespace

std::shared_ptr<StopEvent> StopEvent::Make() {
  auto stop = std::make_shared<StopEvent>();
  if (stop->Get() == nullptr) return nullptr;
  return stop;
}

void StopEvent::Set() { SetEvent(event_.Get()); }

std::chrono::steady_clock::time_point StopEvent::Now() { return std::chrono::steady_clock::now(); }

bool StopEvent::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  // Rounded up, so that the wait does not end just short of the deadline.
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Now()).count();
  const DWORD timeout = left > 0 ? static_cast<DWORD>(left) : 0;
  const DWORD waited = WaitForSingleObject(event_.Get(), timeout);
  // A wait that fails (the handle gone bad) returns at once, and the pause would spin until its
  // deadline: sleep instead, in steps short enough for the service's stop flag to be seen.
  if (waited == WAIT_FAILED) Sleep(timeout < kFailedWaitStep ? timeout : kFailedWaitStep);
  return waited == WAIT_OBJECT_0;
}

}  // namespace orvane::now_playing::windows
