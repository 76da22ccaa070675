#pragma once

// Owners of an HSTRING and of an event handle; the platform's helper library offers neither on
// every toolchain. Each resource is released exactly once, by its owner.
#include <windows.h>

#include <winstring.h>

#include <string>

namespace orvane::runtime {

class HString {
 public:
  HString() = default;
  ~HString() { Reset(); }
  HString(const HString&) = delete;
  HString& operator=(const HString&) = delete;

  HSTRING Get() const { return value_; }
  // For an out-parameter; drops what was held first.
  HSTRING* GetAddressOf() {
    Reset();
    return &value_;
  }
  void Reset() {
    if (value_ != nullptr) WindowsDeleteString(value_);
    value_ = nullptr;
  }
  // A null HSTRING is the empty string: its raw buffer is an empty text, never null.
  std::wstring ToWide() const {
    UINT32 length = 0;
    const wchar_t* text = WindowsGetStringRawBuffer(value_, &length);
    return std::wstring(text, length);
  }

 private:
  HSTRING value_ = nullptr;
};

// A manual-reset event, unsignalled at first; null when it could not be created.
class Event {
 public:
  Event() noexcept : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Event() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace orvane::runtime
