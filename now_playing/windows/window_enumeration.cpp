#include "now_playing/windows/window_enumeration.h"

#include <windows.h>

#include <exception>
#include <vector>

namespace orvane::now_playing::windows {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units on both sides");

struct Visit {
  WindowVisitor visit;
  void* context;
  std::exception_ptr failure;
};

// Nothing may unwind through user32's frames: a failure stops the enumeration and is thrown again
// once EnumWindows has returned.
BOOL CALLBACK EnumerateOne(HWND window, LPARAM parameter) {
  Visit& visit = *reinterpret_cast<Visit*>(parameter);
  try {
    return visit.visit(window, visit.context) ? TRUE : FALSE;
  } catch (...) {
    visit.failure = std::current_exception();
    return FALSE;
  }
}

std::u16string Units(const std::vector<wchar_t>& buffer, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

}  // namespace

void Win32WindowPlatform::EnumerateWindows(WindowVisitor visit, void* context) {
  Visit state{visit, context, nullptr};
  ::EnumWindows(EnumerateOne, reinterpret_cast<LPARAM>(&state));
  if (state.failure) std::rethrow_exception(state.failure);
}

bool Win32WindowPlatform::IsVisible(WindowHandle window) {
  return ::IsWindowVisible(static_cast<HWND>(window)) != 0;
}

uint32_t Win32WindowPlatform::ProcessId(WindowHandle window) {
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(static_cast<HWND>(window), &process_id);
  return process_id;
}

std::optional<std::u16string> Win32WindowPlatform::ProcessImagePath(uint32_t process_id,
                                                                    size_t capacity) {
  // Allocated before the process is opened, so that running out of memory leaks no handle.
  std::vector<wchar_t> path(capacity);
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr) return std::nullopt;
  DWORD size = static_cast<DWORD>(capacity);
  const BOOL queried = ::QueryFullProcessImageNameW(process, 0, path.data(), &size);
  ::CloseHandle(process);
  if (!queried) return std::nullopt;
  return Units(path, size);
}

std::u16string Win32WindowPlatform::WindowText(WindowHandle window, size_t capacity) {
  std::vector<wchar_t> text(capacity);
  const int copied =
      ::GetWindowTextW(static_cast<HWND>(window), text.data(), static_cast<int>(capacity));
  if (copied <= 0) return {};
  return Units(text, static_cast<size_t>(copied));
}

}  // namespace orvane::now_playing::windows
