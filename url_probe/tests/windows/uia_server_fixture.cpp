#include "url_probe/tests/windows/uia_server_fixture.h"

namespace orvane::url_probe::testing {
namespace {

// Wine 8's COM does not look at the user's classes (HKCU\\Software\\Classes: the class stays
// unregistered there, 0x80040154), so the stand-in goes into the machine's.
const HKEY kRoot = HKEY_LOCAL_MACHINE;
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{ff48dba4-60ef-4201-aa87-54103eef594e}";

// The server lies beside this test program.
std::wstring ServerPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, length);
  return dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"uia_server.dll";
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

UiaServer::UiaServer() {
  const std::wstring path = ServerPath();
  module_ = LoadLibraryW(path.c_str());
  if (module_ == nullptr) return;
  HKEY key = nullptr;
  const std::wstring server_key = std::wstring(kClassKey) + L"\\InprocServer32";
  if (RegCreateKeyExW(kRoot, server_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  SetString(key, nullptr, path);
  SetString(key, L"ThreadingModel", L"Both");
  RegCloseKey(key);
  set_scenario_ = reinterpret_cast<UiaServerSetScenarioFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "uia_server_set_scenario")));
  counts_ = reinterpret_cast<UiaServerCountsFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "uia_server_counts")));
}

UiaServer::~UiaServer() { RegDeleteTreeW(kRoot, kClassKey); }

UiaServerCounts UiaServer::Counts() const {
  UiaServerCounts counts = {};
  counts_(&counts);
  return counts;
}

}  // namespace orvane::url_probe::testing
