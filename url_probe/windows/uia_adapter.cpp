#include "url_probe/windows/uia_adapter.h"

#include <memory>
#include <utility>

#include "url_probe/windows/com_holders.h"
#include "url_probe/windows/uia_client.h"

namespace orvane::url_probe::windows {
namespace {

class ValuePattern : public UiaValuePattern {
 public:
  explicit ValuePattern(ComPtr<uia::IUIAutomationValuePattern> pattern)
      : pattern_(std::move(pattern)) {}
  PortText CurrentValue() override {
    Bstr value;
    return value.Take(pattern_->get_CurrentValue(value.Put()));
  }

 private:
  ComPtr<uia::IUIAutomationValuePattern> pattern_;
};

class Condition : public UiaCondition {
 public:
  explicit Condition(ComPtr<uia::IUIAutomationCondition> condition)
      : condition_(std::move(condition)) {}
  uia::IUIAutomationCondition* Get() const { return condition_.Get(); }

 private:
  ComPtr<uia::IUIAutomationCondition> condition_;
};

class Element : public UiaElement {
 public:
  explicit Element(ComPtr<uia::IUIAutomationElement> element) : element_(std::move(element)) {}
  PortText CurrentName() override {
    Bstr name;
    return name.Take(element_->get_CurrentName(name.Put()));
  }
  PortText CurrentClassName() override {
    Bstr class_name;
    return class_name.Take(element_->get_CurrentClassName(class_name.Put()));
  }
  PortText CurrentAutomationId() override {
    Bstr id;
    return id.Take(element_->get_CurrentAutomationId(id.Put()));
  }
  std::unique_ptr<UiaElementArray> FindAllDescendants(UiaCondition& condition) override;
  std::unique_ptr<UiaValuePattern> GetValuePattern() override {
    ComPtr<uia::IUIAutomationValuePattern> pattern;
    const HRESULT hr = element_->GetCurrentPatternAs(
        uia::kValuePatternId, uia::kIidIUIAutomationValuePattern, OutVoid(pattern));
    if (FAILED(hr) || !pattern) return nullptr;
    return std::make_unique<ValuePattern>(std::move(pattern));
  }

 private:
  ComPtr<uia::IUIAutomationElement> element_;
};

class ElementArray : public UiaElementArray {
 public:
  explicit ElementArray(ComPtr<uia::IUIAutomationElementArray> array) : array_(std::move(array)) {}
  int32_t Length() override {
    int length = 0;
    return SUCCEEDED(array_->get_Length(&length)) ? length : 0;
  }
  std::unique_ptr<UiaElement> GetElement(int32_t index) override {
    ComPtr<uia::IUIAutomationElement> element;
    if (FAILED(array_->GetElement(index, element.ReleaseAndGetAddressOf())) || !element)
      return nullptr;
    return std::make_unique<Element>(std::move(element));
  }

 private:
  ComPtr<uia::IUIAutomationElementArray> array_;
};

std::unique_ptr<UiaElementArray> Element::FindAllDescendants(UiaCondition& condition) {
  ComPtr<uia::IUIAutomationElementArray> found;
  const HRESULT hr =
      element_->FindAll(uia::kTreeScopeDescendants, static_cast<Condition&>(condition).Get(),
                        found.ReleaseAndGetAddressOf());
  if (FAILED(hr) || !found) return nullptr;
  return std::make_unique<ElementArray>(std::move(found));
}

class Automation : public UiaAutomation {
 public:
  explicit Automation(ComPtr<uia::IUIAutomation> automation) : automation_(std::move(automation)) {}
  PortResult<UiaElement> ElementFromHandle(WindowHandle hwnd) override {
    ComPtr<uia::IUIAutomationElement> root;
    PortResult<UiaElement> result;
    result.hr = automation_->ElementFromHandle(hwnd, root.ReleaseAndGetAddressOf());
    if (SUCCEEDED(result.hr) && root) result.object = std::make_unique<Element>(std::move(root));
    return result;
  }
  std::unique_ptr<UiaCondition> CreateEditCondition() override {
    Variant edit;
    edit.Get()->vt = VT_I4;
    edit.Get()->lVal = uia::kEditControlTypeId;
    ComPtr<uia::IUIAutomationCondition> condition;
    const HRESULT hr = automation_->CreatePropertyCondition(uia::kControlTypePropertyId, *edit,
                                                            condition.ReleaseAndGetAddressOf());
    if (FAILED(hr) || !condition) return nullptr;
    return std::make_unique<Condition>(std::move(condition));
  }

 private:
  ComPtr<uia::IUIAutomation> automation_;
};

}  // namespace

PortResult<UiaAutomation> CreateUiaAutomation() {
  ComPtr<uia::IUIAutomation> automation;
  PortResult<UiaAutomation> result;
  result.hr = CoCreateInstance(uia::kClsidCUIAutomation, nullptr, CLSCTX_INPROC_SERVER,
                               uia::kIidIUIAutomation, OutVoid(automation));
  if (SUCCEEDED(result.hr) && automation) {
    result.object = std::make_unique<Automation>(std::move(automation));
  }
  return result;
}

}  // namespace orvane::url_probe::windows
