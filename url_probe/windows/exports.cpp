// The URL functions that the executable exports by name for the UI's compiled code.
#include <windows.h>

#include <cstdint>

#include "url_probe/export_calls.h"
#include "url_probe/url_probe_state.h"
#include "url_probe/windows/windows_platform.h"

namespace orvane::url_probe::windows {
namespace {

// Everything here lives until the process is gone: the detached worker may still use it during
// exit.
ProbePlatform& Platform() {
  static ProbePlatform* const platform = new WindowsProbePlatform;
  return *platform;
}

// The worker's port and the state that drives it, made together by the first call that needs them.
struct Worker {
  PlatformWorkerPort port{Platform()};
  UrlProbeState state{port};
};

UrlProbeState& ProcessState() {
  static Worker* const worker = new Worker;
  return worker->state;
}

char16_t* Units(wchar_t* buffer) { return reinterpret_cast<char16_t*>(buffer); }

}  // namespace
}  // namespace orvane::url_probe::windows

using orvane::url_probe::windows::Platform;
using orvane::url_probe::windows::ProcessState;
using orvane::url_probe::windows::Units;

// Nothing may unwind into the caller's compiled code: a failure is an empty answer.
extern "C" __declspec(dllexport) int32_t
    ov_get_url_for_hwnd(HWND hwnd, wchar_t* buffer, int32_t capacity) {
  try {
    return orvane::url_probe::get_url_for_hwnd(Platform(), hwnd, Units(buffer), capacity);
  } catch (...) {
    return 0;
  }
}

extern "C" __declspec(dllexport) void ov_request_url_for_hwnd(HWND hwnd) {
  try {
    orvane::url_probe::request_url_for_hwnd(ProcessState, hwnd);
  } catch (...) {
  }
}

extern "C" __declspec(dllexport) int32_t
    ov_get_cached_url(HWND hwnd, wchar_t* buffer, int32_t capacity) {
  try {
    return orvane::url_probe::get_cached_url(ProcessState, hwnd, Units(buffer), capacity);
  } catch (...) {
    return 0;
  }
}
