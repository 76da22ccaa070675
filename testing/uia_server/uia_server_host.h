#pragma once

#include <string>

#include "testing/standin_library.h"
#include "testing/uia_server/uia_server.h"

namespace orvane::testing {

// The UI Automation stand-in, loaded from beside the program and registered as CUIAutomation at
// run time, so that a fresh prefix works, for as long as this object lives.
class UiaServerHost {
 public:
  bool registered() const { return library_.registered() && set_scenario_ && counts_; }
  // Serves `scenario` from now on, with every counter back at zero.
  void Serve(const UiaServerScenario& scenario) const { set_scenario_(&scenario); }
  // What the real component would not have put up with since then: objects never released,
  // released once too often or on a thread without COM, calls with unexpected arguments. Empty
  // when there was nothing.
  std::string Complaints() const {
    UiaServerCounts c = {};
    counts_(&c);
    return CountsVerdict({{"never_released", c.live},
                          {"over_released", c.over_released},
                          {"released_outside_com", c.released_outside_com},
                          {"unexpected_arguments", c.unexpected_arguments}});
  }

 private:
  StandinLibrary library_{L"uia_server.dll"};
  UiaServerSetScenarioFn set_scenario_ =
      library_.Export<UiaServerSetScenarioFn>("uia_server_set_scenario");
  UiaServerCountsFn counts_ = library_.Export<UiaServerCountsFn>("uia_server_counts");
};

}  // namespace orvane::testing
