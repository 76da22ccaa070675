#pragma once

#include <windows.h>

#include <oleauto.h>

#include <optional>
#include <string>

// Owners for COM pointers, BSTRs and VARIANTs: each resource is released exactly once, when its
// owner goes out of scope.
namespace orvane::url_probe::windows {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units on both sides");

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) : pointer_(adopted) {}
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = other.pointer_;
      other.pointer_ = nullptr;
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For an out-parameter; drops what was held first.
  T** Put() {
    Reset();
    return &pointer_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (pointer_ != nullptr) {
      T* released = pointer_;
      pointer_ = nullptr;
      released->Release();
    }
  }

 private:
  T* pointer_ = nullptr;
};

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
