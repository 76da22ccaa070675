// A stand-in for a browser: one top-level window with the title given on the command line, kept
// until it is closed or the process is ended. The build copies it under the browser executable
// names so that the source classification meets real windows of processes with those image names.
//
//   chrome.exe [--hidden] TITLE
//
// --hidden creates the window without showing it. The window exists before the message loop
// starts, so a parent that waits with WaitForInputIdle finds it.

#include <windows.h>

#include <shellapi.h>

#include <string>

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
  int count = 0;
  wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (arguments == nullptr) return 2;
  bool hidden = false;
  std::wstring title;
  for (int i = 1; i < count; ++i) {
    if (std::wstring(arguments[i]) == L"--hidden") {
      hidden = true;
    } else {
      title = arguments[i];
    }
  }
  ::LocalFree(arguments);

  WNDCLASSW window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = L"ORVANE_BROWSER_WINDOW";
  ::RegisterClassW(&window_class);
  HWND window = ::CreateWindowExW(0, window_class.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  0, 0, 320, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  if (!hidden) ::ShowWindow(window, SW_SHOWNOACTIVATE);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
