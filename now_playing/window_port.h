#pragma once

// What the source classification asks of the window manager and process interfaces.
//
// Adapters: one method is one platform call (the process query is the documented sequence of
// three), with the arguments given; make no decisions (no visibility or name filtering, no
// lower-casing, no truncation of your own beyond the buffer the core sizes). Called on the poller
// thread only.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace orvane::now_playing {

// A top-level window (an HWND's value).
using WindowHandle = void*;

// Called for each top-level window; returns false to stop the enumeration.
using WindowVisitor = bool (*)(WindowHandle window, void* context);

class WindowPlatform {
 public:
  virtual ~WindowPlatform() = default;
  // EnumWindows: calls `visit(window, context)` for each top-level window, in the platform's
  // order, on the calling thread, until it returns false. EnumWindows' own result is ignored.
  // What `visit` throws stops the enumeration and is thrown again once EnumWindows has returned.
  virtual void EnumerateWindows(WindowVisitor visit, void* context) = 0;
  // IsWindowVisible != 0.
  virtual bool IsVisible(WindowHandle window) = 0;
  // GetWindowThreadProcessId's process id; 0 means none.
  virtual uint32_t ProcessId(WindowHandle window) = 0;
  // OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id), then
  // QueryFullProcessImageNameW(handle, 0, buffer of `capacity` units, &size), then CloseHandle
  // (whenever the open succeeded). nullopt when the open or the query fails; else the `size`
  // units the query wrote.
  virtual std::optional<std::u16string> ProcessImagePath(uint32_t process_id, size_t capacity) = 0;
  // GetWindowTextW(window, buffer of `capacity` units, capacity): the characters it copied (at
  // most capacity - 1); empty when it returned 0 or less.
  virtual std::u16string WindowText(WindowHandle window, size_t capacity) = 0;
};

}  // namespace orvane::now_playing
