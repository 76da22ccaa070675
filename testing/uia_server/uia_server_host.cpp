#include "testing/uia_server/uia_server_host.h"

#include <utility>

namespace orvane::testing {
namespace {

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

UiaServerHost::UiaServerHost() {
  // Never freed: COM goes on using the library, and the counters live in it.
  const HMODULE module = LoadLibraryW(L"uia_server.dll");
  if (module == nullptr) return;
  const auto register_server = Export<UiaServerRegisterFn>(module, "DllRegisterServer");
  set_scenario_ = Export<UiaServerSetScenarioFn>(module, "uia_server_set_scenario");
  counts_ = Export<UiaServerCountsFn>(module, "uia_server_counts");
  unregister_ = Export<UiaServerRegisterFn>(module, "DllUnregisterServer");
  registered_ =
      register_server && set_scenario_ && counts_ && unregister_ && register_server() == S_OK;
}

UiaServerHost::~UiaServerHost() {
  if (registered_) unregister_();
}

std::string UiaServerHost::Complaints() const {
  UiaServerCounts counts = {};
  counts_(&counts);
  const std::pair<LONG, const char*> kinds[] = {
      {counts.live, " never released"},
      {counts.over_released, " released once too often"},
      {counts.released_outside_com, " released without COM"},
      {counts.unexpected_arguments, " calls with unexpected arguments"}};
  std::string complaints;
  for (const auto& [count, what] : kinds) {
    if (count != 0) complaints += std::to_string(count) + what + "; ";
  }
  return complaints;
}

}  // namespace orvane::testing
