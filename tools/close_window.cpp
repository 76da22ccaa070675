// Closes a running program's window as the user would: waits up to the given seconds for a
// top-level window of the given class and posts WM_CLOSE to it. Exit code 0 when posted.
//   close_window.exe [CLASS] [SECONDS]      (default FLUTTER_RUNNER_WIN32_WINDOW, 10)

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  const wchar_t* class_name = argc > 1 ? argv[1] : L"FLUTTER_RUNNER_WIN32_WINDOW";
  const int seconds = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 10;
  for (int waited = 0; waited <= seconds * 20; ++waited) {
    if (HWND window = ::FindWindowW(class_name, nullptr)) {
      return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    ::Sleep(50);
  }
  return 1;
}
