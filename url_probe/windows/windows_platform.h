#pragma once

#include "url_probe/probe_port.h"

namespace orvane::url_probe::windows {

// The probe's platform on Windows: COM, UI Automation and Active Accessibility.
class WindowsProbePlatform : public ProbePlatform {
 public:
  int32_t InitializeCom() override;
  void UninitializeCom() override;
  PortResult<UiaAutomation> CreateAutomation() override;
  PortResult<AccObject> AccessibleObjectFromWindow(WindowHandle hwnd) override;
  uint32_t TickCount() override;
};

}  // namespace orvane::url_probe::windows
