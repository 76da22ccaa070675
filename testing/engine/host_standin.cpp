#include "testing/engine/host_standin.h"

#include <cstdlib>
#include <mutex>
#include <thread>

#include "testing/engine/standin_record.h"

namespace orvane_standin {

namespace {

constexpr wchar_t kViewClass[] = L"ORVANE_STANDIN_VIEW";
constexpr wchar_t kParkingClass[] = L"ORVANE_STANDIN_PARKING";
constexpr UINT kFrameMessage = WM_APP + 1;
constexpr UINT kExportsDoneMessage = WM_APP + 2;

std::wstring Environment(const wchar_t* name) {
  wchar_t value[64];
  const DWORD length = ::GetEnvironmentVariableW(name, value, 64);
  if (length == 0 || length >= 64) {
    return std::wstring();
  }
  return std::wstring(value, length);
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) {
    return std::string();
  }
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Widen(const std::string& text) {
  if (text.empty()) {
    return std::wstring();
  }
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
  return out;
}

std::string Hex(unsigned long long value) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", value);
  return text;
}

// What the stand-in UI shows; written on the UI thread and by the export worker.
struct UiState {
  std::mutex lock;
  std::vector<std::string> arguments;
  std::vector<std::wstring> export_lines;
  FlutterDesktopOnNextFrameCallback next_frame = nullptr;
  void* next_frame_data = nullptr;
  bool exports_started = false;
};

UiState& State() {
  static UiState* state = new UiState();
  return *state;
}

using GetUrl = int32_t (*)(HWND, wchar_t*, int32_t);
using RequestUrl = void (*)(HWND);

template <typename F>
F Export(const char* name) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(nullptr), name)));
}

std::wstring Result(const wchar_t* name, int32_t length, const wchar_t* text) {
  return std::wstring(name) + L": " + std::to_wstring(length) + L" \u2192 \"" + text + L"\"";
}

// Calls the executable's URL exports the way the UI program does, on a thread of its own (the
// synchronous probe may take a while), and shows the outcome in the view.
void RunExports(HWND view) {
  auto get_url = Export<GetUrl>("ov_get_url_for_hwnd");
  auto request_url = Export<RequestUrl>("ov_request_url_for_hwnd");
  auto get_cached = Export<GetUrl>("ov_get_cached_url");
  AppendRecord(std::string("exports ov_get_url_for_hwnd=") + (get_url ? "1" : "0") +
               " ov_request_url_for_hwnd=" + (request_url ? "1" : "0") +
               " ov_get_cached_url=" + (get_cached ? "1" : "0"));
  HWND target = ::GetForegroundWindow();
  std::vector<std::wstring> lines;
  wchar_t title[128] = L"";
  ::GetWindowTextW(target, title, 128);
  lines.push_back(L"Foreground window " + Widen(Hex(reinterpret_cast<uintptr_t>(target))) + L" \"" +
                  title + L"\"");
  if (!get_url || !request_url || !get_cached) {
    lines.push_back(L"URL exports: not exported by this executable");
  } else if (!ReadHostSettings().call_exports) {
    lines.push_back(L"URL exports: found (not called)");
  } else {
    wchar_t buffer[512] = L"";
    request_url(target);
    const int32_t synchronous = get_url(target, buffer, 512);
    lines.push_back(Result(L"ov_get_url_for_hwnd", synchronous, buffer));
    buffer[0] = L'\0';
    const int32_t cached = get_cached(target, buffer, 512);
    lines.push_back(Result(L"ov_get_cached_url", cached, buffer));
    AppendRecord("exports-called get=" + std::to_string(synchronous) +
                 " cached=" + std::to_string(cached));
  }
  {
    std::lock_guard<std::mutex> guard(State().lock);
    State().export_lines = lines;
  }
  ::PostMessageW(view, kExportsDoneMessage, 0, 0);
}

void Paint(HWND view) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(view, &paint);
  RECT area;
  ::GetClientRect(view, &area);
  HBRUSH background = ::CreateSolidBrush(RGB(24, 36, 48));
  ::FillRect(dc, &area, background);
  ::DeleteObject(background);

  HFONT heading = ::CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                ANTIALIASED_QUALITY, 0, L"Tahoma");
  HFONT body = ::CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"Tahoma");
  ::SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old_font = ::SelectObject(dc, heading);
  ::SetTextColor(dc, RGB(120, 220, 200));
  int y = 20;
  const int x = 24;
  auto line = [&](const std::wstring& text) {
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    TEXTMETRICW metrics;
    ::GetTextMetricsW(dc, &metrics);
    y += metrics.tmHeight + 6;
  };
  line(L"Orvane \u2014 stand-in UI program");
  ::SelectObject(dc, body);
  ::SetTextColor(dc, RGB(230, 230, 230));
  std::vector<std::string> arguments;
  std::vector<std::wstring> export_lines;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    arguments = State().arguments;
    export_lines = State().export_lines;
  }
  y += 8;
  line(L"Entry-point arguments received (" + std::to_wstring(arguments.size()) + L"):");
  for (size_t i = 0; i < arguments.size(); ++i) {
    line(L"    [" + std::to_wstring(i) + L"] \"" + Widen(arguments[i]) + L"\"");
  }
  y += 8;
  line(L"URL functions, called through the executable's exports:");
  if (export_lines.empty()) {
    line(L"    (waiting for the first frame)");
  }
  for (const std::wstring& text : export_lines) {
    line(L"    " + text);
  }
  ::SelectObject(dc, old_font);
  ::DeleteObject(heading);
  ::DeleteObject(body);
  ::EndPaint(view, &paint);
}

std::string WindowSummary(HWND window) {
  wchar_t title[128] = L"";
  ::GetWindowTextW(window, title, 128);
  RECT frame{};
  ::GetWindowRect(window, &frame);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(window, &placement);
  return "title=" + Narrow(title) + " rect=" + std::to_string(frame.left) + "," +
         std::to_string(frame.top) + "," + std::to_string(frame.right - frame.left) + "x" +
         std::to_string(frame.bottom - frame.top) +
         " visible=" + (::IsWindowVisible(window) ? "1" : "0") +
         " showcmd=" + std::to_string(placement.showCmd);
}

void DeliverFrame(HWND view) {
  FlutterDesktopOnNextFrameCallback callback = nullptr;
  void* data = nullptr;
  bool start_exports = false;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    std::swap(callback, State().next_frame);
    std::swap(data, State().next_frame_data);
    start_exports = !State().exports_started;
    State().exports_started = true;
  }
  HWND top = ::GetAncestor(view, GA_ROOT);
  if (callback != nullptr) {
    AppendRecord("first-frame " + WindowSummary(top));
    callback(data);
    AppendRecord("first-frame-done " + WindowSummary(top));
  }
  if (start_exports) {
    std::thread(RunExports, view).detach();
  }
}

LRESULT CALLBACK ViewProcedure(HWND view, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(view);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case kFrameMessage:
      DeliverFrame(view);
      return 0;
    case kExportsDoneMessage:
      ::InvalidateRect(view, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
      AppendRecord("view-focused");
      return 0;
  }
  return ::DefWindowProcW(view, message, wparam, lparam);
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ViewProcedure), &module);
  return module;
}

void RegisterClasses() {
  static bool registered = false;
  if (registered) {
    return;
  }
  WNDCLASSW view{};
  view.lpfnWndProc = ViewProcedure;
  view.hInstance = ThisModule();
  view.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  view.lpszClassName = kViewClass;
  ::RegisterClassW(&view);
  WNDCLASSW parking{};
  parking.lpfnWndProc = ::DefWindowProcW;
  parking.hInstance = ThisModule();
  parking.lpszClassName = kParkingClass;
  ::RegisterClassW(&parking);
  registered = true;
}

const char* MessageName(UINT message) {
  switch (message) {
    case WM_DESTROY:
      return "WM_DESTROY";
    case WM_SIZE:
      return "WM_SIZE";
    case WM_FONTCHANGE:
      return "WM_FONTCHANGE";
    case WM_CLOSE:
      return "WM_CLOSE";
  }
  return nullptr;
}

}  // namespace

HostSettings ReadHostSettings() {
  HostSettings settings;
  const std::wstring dpi = Environment(L"ORVANE_STANDIN_DPI");
  if (!dpi.empty()) {
    settings.dpi = static_cast<UINT>(std::wcstoul(dpi.c_str(), nullptr, 10));
  }
  settings.fail_view = Environment(L"ORVANE_STANDIN_FAIL_VIEW") == L"1";
  const std::wstring consume = Environment(L"ORVANE_STANDIN_CONSUME");
  if (!consume.empty()) {
    settings.consume = true;
    settings.consumed_message = static_cast<UINT>(std::wcstoul(consume.c_str(), nullptr, 0));
  }
  settings.call_exports = Environment(L"ORVANE_STANDIN_CALL_EXPORTS") != L"0";
  return settings;
}

void OnEngineCreated(const FlutterDesktopEngineProperties& properties) {
  std::vector<std::string> arguments;
  for (int i = 0; i < properties.entrypoint_argc; ++i) {
    arguments.emplace_back(properties.entrypoint_argv[i]);
  }
  AppendRecord("engine-created argc=" + std::to_string(properties.entrypoint_argc));
  for (const std::string& argument : arguments) {
    AppendRecord("argument " + argument);
  }
  std::lock_guard<std::mutex> guard(State().lock);
  State().arguments = std::move(arguments);
}

HWND CreateViewWindow(int width, int height) {
  if (ReadHostSettings().fail_view) {
    AppendRecord("view-controller-refused");
    return nullptr;
  }
  RegisterClasses();
  HWND parking = ::CreateWindowExW(0, kParkingClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   ThisModule(), nullptr);
  HWND view = ::CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                parking, nullptr, ThisModule(), nullptr);
  ::SetPropW(view, L"OrvaneStandinParking", parking);
  AppendRecord("view-controller-created " + std::to_string(width) + "x" + std::to_string(height));
  return view;
}

void DestroyViewWindow(HWND view) {
  HWND top = ::GetAncestor(view, GA_ROOT);
  MSG quit;
  const bool quit_posted = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
  AppendRecord(std::string("view-controller-destroyed top-level-alive=") +
               (::IsWindow(top) && top != view ? "1" : "0") +
               " quit-posted=" + (quit_posted ? "1" : "0"));
  HWND parking = static_cast<HWND>(::GetPropW(view, L"OrvaneStandinParking"));
  ::RemovePropW(view, L"OrvaneStandinParking");
  ::DestroyWindow(view);
  if (parking != nullptr) {
    ::DestroyWindow(parking);
  }
}

void SetNextFrameCallback(FlutterDesktopOnNextFrameCallback callback, void* user_data) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().next_frame = callback;
  State().next_frame_data = user_data;
}

void ForceRedraw(HWND view) {
  ::InvalidateRect(view, nullptr, FALSE);
  ::PostMessageW(view, kFrameMessage, 0, 0);
}

bool HandleTopLevelMessage(HWND /*window*/, UINT message, WPARAM /*wparam*/, LPARAM /*lparam*/,
                           LRESULT* result) {
  const HostSettings settings = ReadHostSettings();
  const bool consumed = settings.consume && settings.consumed_message == message;
  if (const char* name = MessageName(message)) {
    AppendRecord(std::string("top-level-message ") + name + (consumed ? " consumed" : ""));
  }
  if (consumed) {
    *result = 0;
  }
  return consumed;
}

void OnReloadSystemFonts() { AppendRecord("reload-system-fonts"); }

}  // namespace orvane_standin
