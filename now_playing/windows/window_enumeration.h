#pragma once

#include "now_playing/window_port.h"

namespace orvane::now_playing::windows {

// The source classification's window port over the Win32 window manager and process queries.
class Win32WindowPlatform : public WindowPlatform {
 public:
  void EnumerateWindows(WindowVisitor visit, void* context) override;
  bool IsVisible(WindowHandle window) override;
  uint32_t ProcessId(WindowHandle window) override;
  std::optional<std::u16string> ProcessImagePath(uint32_t process_id, size_t capacity) override;
  std::u16string WindowText(WindowHandle window, size_t capacity) override;
};

}  // namespace orvane::now_playing::windows
