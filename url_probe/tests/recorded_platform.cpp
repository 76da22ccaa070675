#include "url_probe/tests/recorded_platform.h"

#include <memory>

namespace orvane::url_probe::testing {
namespace {

// Counts itself in the platform for as long as it lives.
class Counted {
 public:
  explicit Counted(RecordedPlatform& platform) : platform_(platform) {
    ++platform_.live_objects;
    ++platform_.created_objects;
  }
  ~Counted() { --platform_.live_objects; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;

 protected:
  RecordedPlatform& platform_;
};

class Pattern : public UiaValuePattern, Counted {
 public:
  Pattern(RecordedPlatform& platform, PortText value)
      : Counted(platform), value_(std::move(value)) {}
  PortText CurrentValue() override { return value_; }

 private:
  PortText value_;
};

class Condition : public UiaCondition, Counted {
 public:
  using Counted::Counted;
};

class Edit : public UiaElement, Counted {
 public:
  Edit(RecordedPlatform& platform, RecordedEdit edit) : Counted(platform), edit_(std::move(edit)) {}
  PortText CurrentName() override { return edit_.name; }
  PortText CurrentClassName() override { return std::nullopt; }
  PortText CurrentAutomationId() override { return edit_.automation_id; }
  std::unique_ptr<UiaElementArray> FindAllDescendants(UiaCondition&) override { return nullptr; }
  std::unique_ptr<UiaValuePattern> GetValuePattern() override {
    if (!edit_.has_value_pattern) return nullptr;
    return std::make_unique<Pattern>(platform_, edit_.value);
  }

 private:
  RecordedEdit edit_;
};

class EditArray : public UiaElementArray, Counted {
 public:
  using Counted::Counted;
  int32_t Length() override { return static_cast<int32_t>(platform_.window().edits.size()); }
  std::unique_ptr<UiaElement> GetElement(int32_t index) override {
    const auto& edit = platform_.window().edits.at(static_cast<size_t>(index));
    if (!edit) return nullptr;
    return std::make_unique<Edit>(platform_, *edit);
  }
};

class Root : public UiaElement, Counted {
 public:
  using Counted::Counted;
  PortText CurrentName() override { return platform_.window().root_name; }
  PortText CurrentClassName() override { return platform_.window().root_class_name; }
  PortText CurrentAutomationId() override { return std::nullopt; }
  std::unique_ptr<UiaElementArray> FindAllDescendants(UiaCondition&) override {
    if (!platform_.window().find_all_succeeds) return nullptr;
    return std::make_unique<EditArray>(platform_);
  }
  std::unique_ptr<UiaValuePattern> GetValuePattern() override { return nullptr; }
};

class Automation : public UiaAutomation, Counted {
 public:
  using Counted::Counted;
  PortResult<UiaElement> ElementFromHandle(WindowHandle) override {
    PortResult<UiaElement> result;
    result.hr = platform_.window().root_hr;
    if (platform_.window().has_root) result.object = std::make_unique<Root>(platform_);
    return result;
  }
  std::unique_ptr<UiaCondition> CreateEditCondition() override {
    if (!platform_.window().has_condition) return nullptr;
    return std::make_unique<Condition>(platform_);
  }
};

class Acc : public AccObject, Counted {
 public:
  Acc(RecordedPlatform& platform, const RecordedAcc& node) : Counted(platform), node_(node) {}
  std::optional<int32_t> Role() override { return node_.role; }
  std::optional<int32_t> State() override { return node_.state; }
  PortText Value() override { return node_.value; }
  PortText Name() override { return node_.name; }
  std::optional<int32_t> ChildCount() override {
    if (node_.child_count_fails) return std::nullopt;
    return static_cast<int32_t>(node_.children.size());
  }
  std::vector<std::unique_ptr<AccObject>> Children(int32_t count) override {
    std::vector<std::unique_ptr<AccObject>> children;
    if (node_.children_fail) return children;
    for (int32_t i = 0; i < count; ++i) {
      children.push_back(std::make_unique<Acc>(platform_, node_.children[static_cast<size_t>(i)]));
    }
    return children;
  }

 private:
  const RecordedAcc& node_;
};

}  // namespace

int32_t RecordedPlatform::InitializeCom() {
  ++init_calls;
  return window_.com_init_hr;
}

void RecordedPlatform::UninitializeCom() {
  ++uninit_calls;
  live_objects_at_uninit = live_objects;
}

PortResult<UiaAutomation> RecordedPlatform::CreateAutomation() {
  PortResult<UiaAutomation> result;
  result.hr = window_.automation_hr;
  if (window_.has_automation) result.object = std::make_unique<Automation>(*this);
  return result;
}

PortResult<AccObject> RecordedPlatform::AccessibleObjectFromWindow(WindowHandle) {
  ++msaa_calls;
  PortResult<AccObject> result;
  result.hr = window_.acc_hr;
  if (window_.acc) result.object = std::make_unique<Acc>(*this, *window_.acc);
  return result;
}

}  // namespace orvane::url_probe::testing
