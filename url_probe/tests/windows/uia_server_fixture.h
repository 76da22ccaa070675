#pragma once

#include <windows.h>

#include <string>

#include "testing/uia_server/uia_server.h"

// Loads the UI Automation stand-in and registers it as CUIAutomation in the prefix's registry at
// run time, so that a fresh prefix works; the registration is removed again at the end.
namespace orvane::url_probe::testing {

class UiaServer {
 public:
  UiaServer();
  ~UiaServer();
  bool loaded() const { return set_scenario_ != nullptr; }
  void SetScenario(const UiaServerScenario& scenario) { set_scenario_(&scenario); }
  UiaServerCounts Counts() const;

 private:
  HMODULE module_ = nullptr;
  UiaServerSetScenarioFn set_scenario_ = nullptr;
  UiaServerCountsFn counts_ = nullptr;
};

}  // namespace orvane::url_probe::testing
