#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "url_probe/probe_port.h"

// A platform that answers from recorded data, counts its live objects and remembers how COM was
// used, so tests can check the search's decisions and its release order.
namespace orvane::url_probe::testing {

struct RecordedEdit {
  PortText automation_id;
  PortText name;
  bool has_value_pattern = true;
  PortText value;
};

struct RecordedAcc {
  std::optional<int32_t> role;
  std::optional<int32_t> state;
  PortText value;
  PortText name;
  bool child_count_fails = false;
  bool children_fail = false;
  std::vector<RecordedAcc> children;
};

struct RecordedWindow {
  int32_t com_init_hr = 0;
  int32_t automation_hr = 0;
  bool has_automation = true;
  int32_t root_hr = 0;
  bool has_root = true;
  PortText root_name;
  PortText root_class_name;
  bool has_condition = true;
  bool find_all_succeeds = true;
  // nullopt: GetElement fails for that index.
  std::vector<std::optional<RecordedEdit>> edits;
  int32_t acc_hr = 0;
  std::optional<RecordedAcc> acc;
};

class RecordedPlatform : public ProbePlatform {
 public:
  explicit RecordedPlatform(RecordedWindow window) : window_(std::move(window)) {}

  int32_t InitializeCom() override;
  void UninitializeCom() override;
  PortResult<UiaAutomation> CreateAutomation() override;
  PortResult<AccObject> AccessibleObjectFromWindow(WindowHandle hwnd) override;
  uint32_t TickCount() override { return tick_ += 7; }

  int init_calls = 0;
  int uninit_calls = 0;
  int msaa_calls = 0;
  int live_objects = 0;
  int created_objects = 0;
  int live_objects_at_uninit = -1;

  const RecordedWindow& window() const { return window_; }

 private:
  RecordedWindow window_;
  uint32_t tick_ = 1000;
};

}  // namespace orvane::url_probe::testing
