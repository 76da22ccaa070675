#include "runner/win32_window.h"

#include <cstdint>

#include "client_wrapper/flutter_windows.h"
#include "runner/resources/resource.h"
#include "runner/system_theme.h"

namespace orvane {

namespace {

constexpr wchar_t kWindowClassName[] = L"FLUTTER_RUNNER_WIN32_WINDOW";

// Live Win32Window objects; the class goes when the last one closes. UI thread only.
int32_t live_window_count = 0;

// Registers the window class on first use and releases it on request. Constant-initialised and
// trivially destructible: no guard when first used, nothing to run at exit.
class WindowClassRegistry {
 public:
  static WindowClassRegistry& Get() {
    static WindowClassRegistry registry;
    return registry;
  }

  const wchar_t* ClassName() {
    if (!registered_) {
      WNDCLASSW window_class{};
      window_class.style = CS_HREDRAW | CS_VREDRAW;
      window_class.lpfnWndProc = Win32Window::WindowProcedure;
      window_class.cbClsExtra = 0;
      window_class.cbWndExtra = 0;
      window_class.hInstance = ::GetModuleHandleW(nullptr);
      window_class.hIcon = ::LoadIconW(window_class.hInstance, MAKEINTRESOURCEW(IDI_APP_ICON));
      window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      window_class.hbrBackground = nullptr;
      window_class.lpszMenuName = nullptr;
      window_class.lpszClassName = kWindowClassName;
      // A failure shows up as a failed CreateWindowExW.
      ::RegisterClassW(&window_class);
      registered_ = true;
    }
    return kWindowClassName;
  }

  void Release() {
    ::UnregisterClassW(kWindowClassName, nullptr);
    registered_ = false;
  }

 private:
  WindowClassRegistry() = default;
  bool registered_ = false;
};

// Lets the system scale the frame with the monitor's DPI where it offers that (Windows 10 1607
// and later); older systems lack the function and keep an unscaled frame.
void EnableFullDpiSupportIfAvailable(HWND window) {
  HMODULE user32 = ::LoadLibraryA("User32.dll");
  if (user32 == nullptr) {
    return;
  }
  using EnableNonClientDpiScaling = BOOL(WINAPI*)(HWND);
  auto enable = reinterpret_cast<EnableNonClientDpiScaling>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "EnableNonClientDpiScaling")));
  if (enable != nullptr) {
    enable(window);
  }
  ::FreeLibrary(user32);
}

void FillWithContent(HWND parent, HWND content) {
  RECT frame;
  ::GetClientRect(parent, &frame);
  ::MoveWindow(content, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
               TRUE);
}

}  // namespace

Win32Window::Win32Window() { ++live_window_count; }

Win32Window::~Win32Window() {
  --live_window_count;
  CloseWindow();
}

bool Win32Window::OpenWindow(const std::wstring& title, const Point& origin, const Size& size) {
  CloseWindow();

  const wchar_t* class_name = WindowClassRegistry::Get().ClassName();

  const POINT target{static_cast<LONG>(origin.x), static_cast<LONG>(origin.y)};
  HMONITOR monitor = ::MonitorFromPoint(target, MONITOR_DEFAULTTONEAREST);
  const UINT dpi = FlutterDesktopGetDpiForMonitor(monitor);
  const Point scaled_origin = ScaleForDpi(origin, dpi);
  const Size scaled_size = ScaleForDpi(size, dpi);

  HWND window = ::CreateWindowExW(
      0, class_name, title.c_str(), WS_OVERLAPPEDWINDOW, scaled_origin.x, scaled_origin.y,
      scaled_size.width, scaled_size.height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  if (window == nullptr) {
    return false;
  }

  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON));
  if (icon != nullptr) {
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }

  ApplySystemTheme(window);

  return OnWindowCreated();
}

void Win32Window::CloseWindow() {
  OnWindowDestroyed();
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
    window_ = nullptr;
  }
  if (live_window_count == 0) {
    WindowClassRegistry::Get().Release();
  }
}

bool Win32Window::MakeVisible() { return ::ShowWindow(window_, SW_SHOWNORMAL) != 0; }

void Win32Window::AttachContent(HWND content) {
  content_ = content;
  ::SetParent(content, window_);
  FillWithContent(window_, content);
  ::SetFocus(content_);
}

RECT Win32Window::ClientBounds() const {
  RECT bounds{};
  ::GetClientRect(window_, &bounds);
  return bounds;
}

void Win32Window::SetExitOnClose(bool exit_on_close) { exit_on_close_ = exit_on_close; }

LRESULT CALLBACK Win32Window::WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<Win32Window*>(create->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    EnableFullDpiSupportIfAvailable(window);
    self->window_ = window;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    return self->HandleMessage(window, message, wparam, lparam);
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

LRESULT Win32Window::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      // The content went with the window: a window opened again on this object must not size or
      // focus it during its creation.
      window_ = nullptr;
      content_ = nullptr;
      CloseWindow();
      if (exit_on_close_) {
        ::PostQuitMessage(0);
      }
      return 0;
    case WM_SIZE:
      if (content_ != nullptr) {
        FillWithContent(window_, content_);
      }
      return 0;
    case WM_ACTIVATE:
      if (content_ != nullptr) {
        ::SetFocus(content_);
      }
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DWMCOLORIZATIONCOLORCHANGED:
      ApplySystemTheme(window);
      return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

bool Win32Window::OnWindowCreated() { return true; }

void Win32Window::OnWindowDestroyed() {}

void Win32Window::ApplySystemTheme(HWND window) {
  const SystemThemeCalls& calls = system_theme_calls();
  DWORD light_theme = 0;
  DWORD size = sizeof(light_theme);
  const LSTATUS status = calls.reg_get_value(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light_theme, &size);
  if (status != ERROR_SUCCESS) {
    return;
  }
  const BOOL dark = light_theme == 0 ? TRUE : FALSE;
  calls.set_window_attribute(window, kUseImmersiveDarkModeAttribute, &dark, sizeof(dark));
}

}  // namespace orvane
