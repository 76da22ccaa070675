// The view's window on Windows: a child window that shows the stand-in UI (the arguments the UI
// program received, what the executable's URL exports answered and what is playing) and reports
// frames on the window's thread. Replaces the window-less view of view_window.cpp in
// flutter_windows.dll.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "testing/engine/host_now_playing.h"
#include "testing/engine/host_standin.h"
#include "testing/engine/standin_record.h"
#include "testing/engine/standin_state.h"
#include "tools/startup_profile.h"

namespace orvane_standin {

namespace {

constexpr wchar_t kViewClass[] = L"ORVANE_STANDIN_VIEW";
constexpr wchar_t kParkingClass[] = L"ORVANE_STANDIN_PARKING";
constexpr wchar_t kParkingProperty[] = L"OrvaneStandinParking";
constexpr UINT kFrameMessage = WM_APP + 1;
constexpr UINT kExportsDoneMessage = WM_APP + 2;
constexpr UINT_PTR kFrameTimer = 1;

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
  bool exports_started = false;
};

UiState& Ui() {
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
    std::lock_guard<std::mutex> guard(Ui().lock);
    Ui().export_lines = lines;
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
    std::lock_guard<std::mutex> guard(Ui().lock);
    arguments = Ui().arguments;
    export_lines = Ui().export_lines;
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
  y += 8;
  y = PaintNowPlaying(dc, x, y);
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

// Reports the frame that ForceRedraw asked for: runs the pending next-frame callback on this
// (the window's) thread, recording the top-level window as it is just before and after.
void DeliverFrame(HWND view) {
  const orvane::testing::EngineRecord record = orvane::testing::Record();
  if (record.redraws == 0) {
    // No redraw asked for yet: look again shortly.
    ::SetTimer(view, kFrameTimer, 10, nullptr);
    return;
  }
  ::KillTimer(view, kFrameTimer);
  HWND top = ::GetAncestor(view, GA_ROOT);
  const bool pending = record.next_frame_registrations > 0;
  if (pending) {
    MarkStartupStep(StartupStep::kFirstFrame);
    AppendRecord("first-frame " + WindowSummary(top));
  }
  if (orvane::testing::FireNextFrame()) {
    if (::IsWindowVisible(top)) {
      MarkStartupStep(StartupStep::kWindowShown);
    }
    AppendRecord("first-frame-done " + WindowSummary(top));
    if (ReadHostSettings().post_quit) {
      AppendRecord("engine-posted-quit");
      ::PostQuitMessage(0);
    }
  }
  bool start_exports = false;
  {
    std::lock_guard<std::mutex> guard(Ui().lock);
    start_exports = !Ui().exports_started;
    Ui().exports_started = true;
  }
  if (start_exports) {
    std::thread(RunExports, view).detach();
    StartNowPlaying(view);
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
    case WM_TIMER:
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

}  // namespace

void ShowEngineArguments() {
  const orvane::testing::EngineRecord record = orvane::testing::Record();
  if (record.engines_created.empty()) {
    return;
  }
  const std::vector<std::string>& arguments = record.engines_created.back().entrypoint_arguments;
  AppendRecord("engine-created argc=" + std::to_string(arguments.size()));
  for (const std::string& argument : arguments) {
    AppendRecord("argument " + argument);
  }
  std::lock_guard<std::mutex> guard(Ui().lock);
  Ui().arguments = arguments;
}

HWND CreateView(int width, int height) {
  ShowEngineArguments();
  WatchComUninitialize();
  RegisterClasses();
  // The view waits under a hidden window of its own until the shell makes it its content.
  HWND parking = ::CreateWindowExW(0, kParkingClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   ThisModule(), nullptr);
  HWND view = ::CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                parking, nullptr, ThisModule(), nullptr);
  ::SetPropW(view, kParkingProperty, parking);
  ::PostMessageW(view, kFrameMessage, 0, 0);
  AppendRecord("view-controller-created " + std::to_string(width) + "x" + std::to_string(height));
  return view;
}

void DestroyView(HWND view) {
  if (view == nullptr) {
    return;
  }
  const orvane::testing::EngineRecord record = orvane::testing::Record();
  HWND top = ::GetAncestor(view, GA_ROOT);
  MSG quit;
  const bool quit_posted = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
  std::string registrars;
  for (const std::string& name : record.registrar_names) {
    registrars += (registrars.empty() ? "" : ",") + name;
  }
  AppendRecord(
      std::string("view-controller-destroyed top-level-alive=") +
      (top != view && ::IsWindow(top) ? "1" : "0") + " quit-posted=" + (quit_posted ? "1" : "0") +
      " font-reloads=" + std::to_string(record.font_reloads) + " registrars=" + registrars);
  HWND parking = static_cast<HWND>(::GetPropW(view, kParkingProperty));
  ::RemovePropW(view, kParkingProperty);
  ::DestroyWindow(view);
  if (parking != nullptr) {
    ::DestroyWindow(parking);
  }
}

}  // namespace orvane_standin

namespace orvane::testing {

HWND CreateViewWindow(int width, int height) { return orvane_standin::CreateView(width, height); }

void DestroyViewWindow(HWND window) { orvane_standin::DestroyView(window); }

}  // namespace orvane::testing
