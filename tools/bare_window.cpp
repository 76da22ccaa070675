// The smallest Win32 program that opens a window like the host's: the baseline against which the
// host's start-up and exit times are measured (scripts/measure-startup.sh).

#include <windows.h>

#include "tools/startup_profile.h"

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int APIENTRY wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int) {
  WNDCLASSW window_class{};
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = L"ORVANE_BARE_WINDOW";
  ::RegisterClassW(&window_class);
  HWND window = ::CreateWindowExW(0, L"ORVANE_BARE_WINDOW", L"Bare", WS_OVERLAPPEDWINDOW, 10, 10,
                                  1280, 720, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kWindowCreated);
  ::ShowWindow(window, SW_SHOWNORMAL);
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kWindowShown);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
