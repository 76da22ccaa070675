#include "testing/probe_platform/recorded_platform.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <new>

namespace orvane::url_probe::testing {
namespace {

// Counts itself in the platform for as long as it lives.
struct Counted {
  explicit Counted(RecordedPlatform& platform) : p(platform) { ++p.live; }
  ~Counted() { --p.live; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  RecordedPlatform& p;
};

struct Pattern : UiaValuePattern, Counted {
  Pattern(RecordedPlatform& platform, PortText text) : Counted(platform), value(std::move(text)) {}
  PortText CurrentValue() override { return value; }
  PortText value;
};

struct Condition : UiaCondition, Counted {
  using Counted::Counted;
};

struct EditArray : UiaElementArray, Counted {
  using Counted::Counted;
  int32_t Length() override { return static_cast<int32_t>(p.window.edits.size()); }
  std::unique_ptr<UiaElement> GetElement(int32_t index) override;
};

// The root element (edit null) or one of its Edit controls.
struct Element : UiaElement, Counted {
  Element(RecordedPlatform& platform, const RecordedEdit* e) : Counted(platform), edit(e) {}
  PortText CurrentName() override { return edit ? edit->name : p.window.root_name; }
  PortText CurrentClassName() override { return edit ? std::nullopt : p.window.root_class_name; }
  PortText CurrentAutomationId() override { return edit ? edit->automation_id : std::nullopt; }
  std::unique_ptr<UiaElementArray> FindAllDescendants(UiaCondition&) override {
    if (edit || !p.window.find_all_succeeds) return nullptr;
    return std::make_unique<EditArray>(p);
  }
  std::unique_ptr<UiaValuePattern> GetValuePattern() override {
    if (!edit || !edit->has_value_pattern) return nullptr;
    return std::make_unique<Pattern>(p, edit->value);
  }
  const RecordedEdit* edit;
};

std::unique_ptr<UiaElement> EditArray::GetElement(int32_t index) {
  if (!p.window.has_memory) throw std::bad_alloc();
  const auto& edit = p.window.edits.at(static_cast<size_t>(index));
  return edit ? std::make_unique<Element>(p, &*edit) : nullptr;
}

struct Automation : UiaAutomation, Counted {
  using Counted::Counted;
  PortResult<UiaElement> ElementFromHandle(WindowHandle) override {
    return {0, p.window.has_root ? std::make_unique<Element>(p, nullptr) : nullptr};
  }
  std::unique_ptr<UiaCondition> CreateEditCondition() override {
    return p.window.has_condition ? std::make_unique<Condition>(p) : nullptr;
  }
};

struct Acc : AccObject, Counted {
  Acc(RecordedPlatform& platform, const RecordedAcc& n) : Counted(platform), node(n) {}
  std::optional<int32_t> Role() override { return node.role; }
  std::optional<int32_t> State() override { return node.state; }
  PortText Value() override { return node.value; }
  PortText Name() override { return node.name; }
  std::optional<int32_t> ChildCount() override {
    if (node.child_count_fails) return std::nullopt;
    return static_cast<int32_t>(node.children.size());
  }
  std::vector<std::unique_ptr<AccObject>> Children(int32_t count) override {
    std::vector<std::unique_ptr<AccObject>> children;
    for (int32_t i = 0; i < count && !node.children_fail; ++i)
      children.push_back(std::make_unique<Acc>(p, node.children.at(static_cast<size_t>(i))));
    return children;
  }
  const RecordedAcc& node;
};

}  // namespace

int32_t RecordedPlatform::InitializeCom() {
  ++init_calls;
  return window.com_init_hr;
}

void RecordedPlatform::UninitializeCom() {
  ++uninit_calls;
  live_at_uninit = live;
}

PortResult<UiaAutomation> RecordedPlatform::CreateAutomation() {
  return {0, window.has_automation ? std::make_unique<Automation>(*this) : nullptr};
}

PortResult<AccObject> RecordedPlatform::AccessibleObjectFromWindow(WindowHandle) {
  ++msaa_calls;
  return {0, window.acc ? std::make_unique<Acc>(*this, *window.acc) : nullptr};
}

std::vector<std::string>& RecordedTrace() {
  static std::vector<std::string> lines;
  return lines;
}

void RecordTrace(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::string line;
  char number[32] = "";
  for (const char16_t* f = format; *f != u'\0'; ++f) {
    if (*f != u'%') {
      line += static_cast<char>(*f);
      continue;
    }
    if (*++f == u's') {
      for (const char16_t* s = va_arg(args, const char16_t*); *s != u'\0'; ++s)
        line += *s < 0x80 ? static_cast<char>(*s) : '?';
      continue;
    }
    if (*f == u'd') std::snprintf(number, sizeof number, "%d", va_arg(args, int));
    if (*f == u'u') std::snprintf(number, sizeof number, "%u", va_arg(args, unsigned));
    if (*f == u'p') std::snprintf(number, sizeof number, "%p", va_arg(args, void*));
    if (*f == u'0') {  // %08x
      std::snprintf(number, sizeof number, "%08x", va_arg(args, unsigned));
      f += 2;
    }
    line += number;
  }
  va_end(args);
  RecordedTrace().push_back(line);
}

}  // namespace orvane::url_probe::testing
