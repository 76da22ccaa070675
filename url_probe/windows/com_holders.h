#pragma once

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <optional>
#include <string>

// Owners for COM pointers, BSTRs and VARIANTs: each resource is released exactly once, when its
// owner goes out of scope. COM pointers are the toolchains' own ComPtr, the one type the host uses.
namespace orvane::url_probe::windows {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units on both sides");

using Microsoft::WRL::ComPtr;

// For a QueryInterface-style out-parameter; drops what was held first.
template <typename T>
void** OutVoid(ComPtr<T>& pointer) {
  return reinterpret_cast<void**>(pointer.ReleaseAndGetAddressOf());
}

// A BSTR out-parameter. Take() copies exactly SysStringLen units and frees the BSTR at once.
class Bstr {
 public:
  Bstr() = default;
  ~Bstr() { SysFreeString(bstr_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR* Put() {
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return &bstr_;
  }
  // nullopt when the call failed or gave no string.
  std::optional<std::u16string> Take(HRESULT hr) {
    std::optional<std::u16string> text;
    if (SUCCEEDED(hr) && bstr_ != nullptr) {
      text.emplace(reinterpret_cast<const char16_t*>(bstr_), SysStringLen(bstr_));
    }
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return text;
  }

 private:
  BSTR bstr_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* Get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};

}  // namespace orvane::url_probe::windows
