#pragma once

#include <windows.h>

namespace orvane {

// The two system calls behind ApplySystemTheme. Wine draws no dark frames, so tests swap these
// to see what the window asks for; the product uses the system's own functions.
struct SystemThemeCalls {
  LSTATUS(WINAPI* reg_get_value)
  (HKEY key, LPCWSTR sub_key, LPCWSTR value, DWORD flags, LPDWORD type, PVOID data,
   LPDWORD data_size);
  HRESULT(WINAPI* set_window_attribute)(HWND window, DWORD attribute, LPCVOID data, DWORD size);
};

SystemThemeCalls& system_theme_calls();

// The window attribute that turns the frame dark (missing from older SDK headers).
inline constexpr DWORD kUseImmersiveDarkModeAttribute = 20;

}  // namespace orvane
