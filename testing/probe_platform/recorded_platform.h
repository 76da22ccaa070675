#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "url_probe/probe_port.h"

// A platform that answers from recorded data, counts its live objects and remembers how COM was
// used; and a trace sink that keeps each line, formatted.
namespace orvane::url_probe::testing {

struct RecordedEdit {
  PortText automation_id, name, value;
  bool has_value_pattern = true;
};

struct RecordedAcc {
  std::optional<int32_t> role, state;
  PortText name, value;
  std::vector<RecordedAcc> children;
  bool child_count_fails = false, children_fail = false;
};

struct RecordedWindow {
  int32_t com_init_hr = 0;
  bool has_automation = true, has_root = true, has_condition = true, find_all_succeeds = true;
  PortText root_name, root_class_name;
  std::vector<std::optional<RecordedEdit>> edits;  // nullopt: GetElement fails for that index
  bool has_memory = true;                          // false: GetElement runs out of memory
  std::optional<RecordedAcc> acc;
};

class RecordedPlatform : public ProbePlatform {
 public:
  explicit RecordedPlatform(RecordedWindow recorded) : window(std::move(recorded)) {}
  int32_t InitializeCom() override;
  void UninitializeCom() override;
  PortResult<UiaAutomation> CreateAutomation() override;
  PortResult<AccObject> AccessibleObjectFromWindow(WindowHandle hwnd) override;
  uint32_t TickCount() override { return tick += 7; }

  const RecordedWindow window;
  int init_calls = 0, uninit_calls = 0, msaa_calls = 0, live = 0, live_at_uninit = 0;
  uint32_t tick = 1000;
};

// Formats %s (UTF-16), %d, %u, %08x and %p into ASCII.
void RecordTrace(const char16_t* format, ...);
std::vector<std::string>& RecordedTrace();

}  // namespace orvane::url_probe::testing
