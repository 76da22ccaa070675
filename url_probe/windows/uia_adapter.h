#pragma once

#include "url_probe/probe_port.h"

namespace orvane::url_probe::windows {

// The UI Automation object (CUIAutomation, in-process), wrapped for the search.
PortResult<UiaAutomation> CreateUiaAutomation();

}  // namespace orvane::url_probe::windows
