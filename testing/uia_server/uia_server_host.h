#pragma once

#include <string>

#include "testing/uia_server/uia_server.h"

namespace orvane::testing {

// The UI Automation stand-in, loaded from beside the program and registered as CUIAutomation at
// run time, so that a fresh prefix works, for as long as this object lives.
class UiaServerHost {
 public:
  UiaServerHost();
  ~UiaServerHost();
  UiaServerHost(const UiaServerHost&) = delete;
  UiaServerHost& operator=(const UiaServerHost&) = delete;

  bool registered() const { return registered_; }
  // Serves `scenario` from now on, with every counter back at zero.
  void Serve(const UiaServerScenario& scenario) const { set_scenario_(&scenario); }
  // What the real component would not have put up with since then: objects never released,
  // released once too often or on a thread without COM, calls with unexpected arguments. Empty
  // when there was nothing.
  std::string Complaints() const;

 private:
  UiaServerSetScenarioFn set_scenario_ = nullptr;
  UiaServerCountsFn counts_ = nullptr;
  UiaServerRegisterFn unregister_ = nullptr;
  bool registered_ = false;
};

}  // namespace orvane::testing
