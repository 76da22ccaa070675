// A stand-in for a browser: one top-level window with the title given on the command line, kept
// until it is closed or the process is ended. The build copies it under the browser executable
// names so that the source classification meets real windows of processes with those image names.
//
//   chrome.exe [--ready EVENT] [--hidden] [--address URL] TITLE
//
// --hidden creates the window without showing it. --ready names an event that is set once the
// window has its title and is shown, so that a parent can wait for exactly that. --address gives
// the window an address bar, an Edit control holding URL, for the URL probe to read.

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
  std::wstring ready;
  std::wstring address;
  for (int i = 1; i < count; ++i) {
    if (std::wstring(arguments[i]) == L"--hidden") {
      hidden = true;
    } else if (std::wstring(arguments[i]) == L"--ready" && i + 1 < count) {
      ready = arguments[++i];
    } else if (std::wstring(arguments[i]) == L"--address" && i + 1 < count) {
      address = arguments[++i];
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
  if (!address.empty()) {
    ::CreateWindowExW(0, L"EDIT", address.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER, 8, 8, 290, 24,
                      window, nullptr, instance, nullptr);
  }
  if (!hidden) ::ShowWindow(window, SW_SHOWNOACTIVATE);
  if (!ready.empty()) {
    HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, ready.c_str());
    if (event == nullptr) return 3;
    ::SetEvent(event);
    ::CloseHandle(event);
  }
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
