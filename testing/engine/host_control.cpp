// Settings from the environment, the monitor DPI, and what the stand-in does with top-level
// window messages, for tests that run the real executable.

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "testing/engine/engine_standin.h"
#include "testing/engine/host_standin.h"
#include "testing/engine/standin_record.h"
#include "testing/engine/startup_profile.h"

namespace orvane_standin {

namespace {

HostSettings ParseHostSettings() {
  HostSettings settings;
  const std::wstring dpi = EnvironmentText(L"ORVANE_STANDIN_DPI");
  if (!dpi.empty()) {
    settings.dpi = static_cast<UINT>(std::wcstoul(dpi.c_str(), nullptr, 10));
  }
  settings.fail_view = EnvironmentText(L"ORVANE_STANDIN_FAIL_VIEW") == L"1";
  const std::wstring consume = EnvironmentText(L"ORVANE_STANDIN_CONSUME");
  if (!consume.empty()) {
    settings.consume = true;
    settings.consumed_message = static_cast<UINT>(std::wcstoul(consume.c_str(), nullptr, 0));
  }
  settings.call_exports = EnvironmentText(L"ORVANE_STANDIN_CALL_EXPORTS") != L"0";
  settings.post_quit = EnvironmentText(L"ORVANE_STANDIN_QUIT") == L"1";
  settings.recording = !EnvironmentText(L"ORVANE_STANDIN_RECORD").empty();
  return settings;
}

std::optional<LRESULT> HandleTopLevelMessage(HWND /*window*/, UINT message, WPARAM /*wparam*/,
                                             LPARAM /*lparam*/) {
  const HostSettings& settings = ReadHostSettings();
  const bool consumed = settings.consume && settings.consumed_message == message;
  if (const char* name = RecordedMessageName(message)) {
    AppendRecord(std::string("top-level-message ") + name + (consumed ? " consumed" : ""));
  }
  if (consumed) {
    return LRESULT{0};
  }
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

const char* RecordedMessageName(UINT message) {
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

namespace {

using CoUninitializeFunction = void(WINAPI*)();
CoUninitializeFunction real_co_uninitialize = nullptr;

void WINAPI RecordedCoUninitialize() {
  AppendRecord("com-uninitialized");
  real_co_uninitialize();
}

// The executable's import slot for `function` of `library`, or null.
ULONG_PTR* ImportSlot(HMODULE module, const char* library, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(name->Name), function) == 0) {
        return &slots->u1.Function;
      }
    }
  }
  return nullptr;
}

}  // namespace

void WatchComUninitialize() {
  ULONG_PTR* slot = ReadHostSettings().recording && real_co_uninitialize == nullptr
                        ? ImportSlot(::GetModuleHandleW(nullptr), "ole32.dll", "CoUninitialize")
                        : nullptr;
  DWORD protection = 0;
  if (slot == nullptr || !::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection)) {
    return;
  }
  real_co_uninitialize = reinterpret_cast<CoUninitializeFunction>(*slot);
  *slot = reinterpret_cast<ULONG_PTR>(&RecordedCoUninitialize);
  ::VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

}  // namespace orvane_standin

extern "C" UINT FlutterDesktopGetDpiForMonitor(HMONITOR /*monitor*/) {
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kDpiAsked);
  return orvane_standin::ReadHostSettings().dpi;
}
