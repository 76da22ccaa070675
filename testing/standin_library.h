#pragma once

// A stand-in library that a test (or the demo's script, through regsvr32) registers in the Wine
// prefix: loaded from beside the running program, registered with its own DllRegisterServer, its
// exports looked up, and its counters turned into a verdict.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "testing/program_folder.h"

namespace orvane::testing {

// An export of `module`; null when `module` is null or lacks it.
template <class Fn>
Fn ExportOf(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// " name=count" for each count that is not zero: what the real component would not have put up
// with. Empty when there was nothing.
inline std::string CountsVerdict(std::initializer_list<std::pair<const char*, LONG>> counts) {
  std::string verdict;
  for (const auto& [name, count] : counts) {
    if (count != 0) verdict += " " + std::string(name) + "=" + std::to_string(count);
  }
  return verdict;
}

// Loaded and registered for as long as this object lives; unregistered then when the library can
// be. Never unloaded: COM and the Runtime go on using it, and its counters live in it.
class StandinLibrary {
 public:
  explicit StandinLibrary(const wchar_t* name)
      : module_(::LoadLibraryW((ProgramFolder() + name).c_str())) {
    const auto register_server = Export<HRESULT(WINAPI*)()>("DllRegisterServer");
    registered_ = register_server != nullptr && register_server() == S_OK;
  }
  ~StandinLibrary() {
    const auto unregister = Export<HRESULT(WINAPI*)()>("DllUnregisterServer");
    if (registered_ && unregister != nullptr) unregister();
  }
  StandinLibrary(const StandinLibrary&) = delete;
  StandinLibrary& operator=(const StandinLibrary&) = delete;

  bool registered() const { return registered_; }
  template <class Fn>
  Fn Export(const char* name) const {
    return ExportOf<Fn>(module_, name);
  }

 private:
  HMODULE module_;
  bool registered_ = false;
};

}  // namespace orvane::testing
