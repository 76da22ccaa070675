// Settings from the environment, the monitor DPI, and what the stand-in does with top-level
// window messages, for tests that run the real executable.

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "testing/engine/engine_standin.h"
#include "testing/engine/host_standin.h"
#include "testing/engine/standin_record.h"
#include "testing/import_redirect/import_redirect.h"
#include "tools/startup_profile.h"

namespace orvane_standin {

namespace {

HostSettings ParseHostSettings() {
  HostSettings settings;
  const std::wstring dpi = EnvironmentText(L"ORVANE_STANDIN_DPI");
  if (!dpi.empty()) {
    settings.dpi = static_cast<UINT>(std::wcstoul(dpi.c_str(), nullptr, 10));
  }
  settings.fail_view = EnvironmentText(L"ORVANE_STANDIN_FAIL_VIEW") == L"1";
  settings.fail_window = EnvironmentText(L"ORVANE_STANDIN_FAIL_WINDOW") == L"1";
  const std::wstring consume = EnvironmentText(L"ORVANE_STANDIN_CONSUME");
  if (!consume.empty()) {
    settings.consume = true;
    settings.consumed_message = static_cast<UINT>(std::wcstoul(consume.c_str(), nullptr, 0));
  }
  settings.post_quit = EnvironmentText(L"ORVANE_STANDIN_QUIT") == L"1";
  settings.recording = !EnvironmentText(L"ORVANE_STANDIN_RECORD").empty();
  return settings;
}

std::optional<LRESULT> HandleTopLevelMessage(HWND /*window*/, UINT message, WPARAM /*wparam*/,
                                             LPARAM /*lparam*/) {
  const HostSettings& settings = ReadHostSettings();
  // The tests follow the teardown by this message.
  if (message == WM_DESTROY) AppendRecord("top-level-message WM_DESTROY");
  if (settings.consume && settings.consumed_message == message) return LRESULT{0};
  return std::nullopt;
}

// Applies the environment's settings when the library is loaded into a process started by a
// test, and closes the record when it is unloaded: every violation, then their count, so that a
// record without that last line comes from a process that did not end normally. Without the
// settings (in-process tests) the library keeps its defaults and its control API.
struct ApplyEnvironmentOnLoad {
  ApplyEnvironmentOnLoad() {
    const HostSettings& settings = ReadHostSettings();
    if (settings.fail_view) {
      orvane::testing::SetViewControllerCreationFails(true);
    }
    if (settings.recording || settings.consume) {
      orvane::testing::SetWindowProcHandler(HandleTopLevelMessage);
    }
  }
  ~ApplyEnvironmentOnLoad() {
    const std::vector<std::string> violations = orvane::testing::Record().violations;
    for (const std::string& violation : violations) {
      AppendRecord("violation " + violation);
    }
    AppendRecord("violations " + std::to_string(violations.size()));
  }
} apply_environment_on_load;

}  // namespace

const HostSettings& ReadHostSettings() {
  static const HostSettings settings = ParseHostSettings();
  return settings;
}

namespace {

using CoUninitializeFunction = void(WINAPI*)();
CoUninitializeFunction real_co_uninitialize = nullptr;
DWORD ui_thread = 0;

// Only the window thread's: the URL probes balance their own initialisation on other threads.
void WINAPI RecordedCoUninitialize() {
  if (::GetCurrentThreadId() == ui_thread) {
    AppendRecord("com-uninitialized");
  }
  real_co_uninitialize();
}

HWND WINAPI FailingCreateWindowExW(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                                   HINSTANCE, LPVOID) {
  AppendRecord("create-window-failed");
  ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

}  // namespace

void WatchComUninitialize() {
  if (!ReadHostSettings().recording || real_co_uninitialize != nullptr) return;
  ui_thread = ::GetCurrentThreadId();  // the view is created on the window thread
  real_co_uninitialize = reinterpret_cast<CoUninitializeFunction>(orvane::testing::RedirectImport(
      "ole32.dll", "CoUninitialize", reinterpret_cast<ULONG_PTR>(&RecordedCoUninitialize)));
}

}  // namespace orvane_standin

extern "C" UINT FlutterDesktopGetDpiForMonitor(HMONITOR /*monitor*/) {
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kDpiAsked);
  if (orvane_standin::ReadHostSettings().fail_window) {
    orvane::testing::RedirectImport(
        "user32.dll", "CreateWindowExW",
        reinterpret_cast<ULONG_PTR>(&orvane_standin::FailingCreateWindowExW));
  }
  return orvane_standin::ReadHostSettings().dpi;
}
