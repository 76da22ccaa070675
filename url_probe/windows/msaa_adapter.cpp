#include "url_probe/windows/msaa_adapter.h"

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "url_probe/windows/com_holders.h"

namespace orvane::url_probe::windows {
namespace {

// Defined here: the toolchain's oleacc library carries an import stub under this name, which
// would stand in for the GUID if it came first in the link.
constexpr IID kIidIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

VARIANT Self() {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

std::optional<int32_t> IntegerOf(HRESULT hr, const Variant& answer) {
  if (FAILED(hr) || (*answer).vt != VT_I4) return std::nullopt;
  return (*answer).lVal;
}

// An array of VARIANTs for AccessibleChildren; every entry is cleared when it goes.
class VariantArray {
 public:
  explicit VariantArray(size_t count) : entries_(count) {
    for (VARIANT& entry : entries_) VariantInit(&entry);
  }
  ~VariantArray() {
    for (VARIANT& entry : entries_) VariantClear(&entry);
  }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;
  VARIANT* Data() { return entries_.data(); }
  VARIANT& operator[](size_t index) { return entries_[index]; }

 private:
  std::vector<VARIANT> entries_;
};

class Accessible : public AccObject {
 public:
  explicit Accessible(ComPtr<IAccessible> object) : object_(std::move(object)) {}

  std::optional<int32_t> Role() override {
    Variant role;
    return IntegerOf(object_->get_accRole(Self(), role.Get()), role);
  }
  std::optional<int32_t> State() override {
    Variant state;
    return IntegerOf(object_->get_accState(Self(), state.Get()), state);
  }
  PortText Value() override {
    Bstr value;
    return value.Take(object_->get_accValue(Self(), value.Put()));
  }
  PortText Name() override {
    Bstr name;
    return name.Take(object_->get_accName(Self(), name.Put()));
  }
  std::optional<int32_t> ChildCount() override {
    LONG count = 0;
    if (FAILED(object_->get_accChildCount(&count))) return std::nullopt;
    return count;
  }
  std::vector<std::unique_ptr<AccObject>> Children(int32_t count) override {
    std::vector<std::unique_ptr<AccObject>> children;
    VariantArray entries(static_cast<size_t>(count));
    LONG obtained = 0;
    if (FAILED(AccessibleChildren(object_.Get(), 0, count, entries.Data(), &obtained))) {
      return children;
    }
    // A server may claim more entries than it was given room for.
    obtained = std::clamp<LONG>(obtained, 0, count);
    for (LONG i = 0; i < obtained; ++i) {
      const VARIANT& entry = entries[static_cast<size_t>(i)];
      if (entry.vt != VT_DISPATCH || entry.pdispVal == nullptr) continue;
      ComPtr<IAccessible> child;
      if (SUCCEEDED(entry.pdispVal->QueryInterface(kIidIAccessible, OutVoid(child))) && child) {
        children.push_back(std::make_unique<Accessible>(std::move(child)));
      }
    }
    return children;
  }

 private:
  ComPtr<IAccessible> object_;
};

}  // namespace

PortResult<AccObject> AccessibleClientObject(WindowHandle hwnd) {
  ComPtr<IAccessible> client;
  PortResult<AccObject> result;
  result.hr = AccessibleObjectFromWindow(static_cast<HWND>(hwnd), static_cast<DWORD>(OBJID_CLIENT),
                                         kIidIAccessible, OutVoid(client));
  if (SUCCEEDED(result.hr) && client) {
    result.object = std::make_unique<Accessible>(std::move(client));
  }
  return result;
}

}  // namespace orvane::url_probe::windows
