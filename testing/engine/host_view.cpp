// The view's window on Windows: a child window that runs the demo's UI program (demo/) and reports
// frames on the window's thread. Replaces the window-less view of view_window.cpp in
// flutter_windows.dll.

#include <string>
#include <vector>

#include "demo/ui_program.h"
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
constexpr UINT_PTR kFrameTimer = 1;

std::string WindowSummary(HWND window) {
  char title[128] = "";
  ::GetWindowTextA(window, title, 128);
  RECT frame{};
  ::GetWindowRect(window, &frame);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(window, &placement);
  return std::string("title=") + title + " rect=" + std::to_string(frame.left) + "," +
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
  // Once, after the first frame: the executable's URL exports looked up, and the UI program.
  static bool ui_started = false;
  if (!ui_started) {
    ui_started = true;
    std::string exports = "exports";
    for (const char* name :
         {"ov_get_url_for_hwnd", "ov_request_url_for_hwnd", "ov_get_cached_url"}) {
      exports += std::string(" ") + name + "=" +
                 (::GetProcAddress(::GetModuleHandleW(nullptr), name) != nullptr ? "1" : "0");
    }
    AppendRecord(exports);
    orvane_demo::Start(view);
    StartNowPlaying(view);
  }
}

LRESULT CALLBACK ViewProcedure(HWND view, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      orvane_demo::Paint(view);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case kFrameMessage:
    case WM_TIMER:
      DeliverFrame(view);
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
