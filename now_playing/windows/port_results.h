#pragma once

// Port results from platform calls, shared by the Windows adapters. Make the call in a statement
// of its own first: the order in which arguments are evaluated is unspecified.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "now_playing/port_result.h"
#include "now_playing/windows/runtime/holders.h"

namespace orvane::now_playing::windows {

template <typename T>
PortResult<T> FromCall(HRESULT hr, T value) {
  return SUCCEEDED(hr) ? Succeeded(std::move(value)) : Failed<T>();
}

// A null object stays null; otherwise `Adapter` wraps the interface pointer (and `more`).
template <class Port, class Adapter, class Pointer, class... More>
PortResult<std::unique_ptr<Port>> FromObjectCall(HRESULT hr, Pointer object, More... more) {
  if (FAILED(hr)) return Failed<std::unique_ptr<Port>>();
  if (!object) return Succeeded(std::unique_ptr<Port>());
  return Succeeded(std::unique_ptr<Port>(new Adapter(std::move(object), more...)));
}

inline std::u16string ToUtf16(const runtime::HString& text) {
  const std::wstring wide = text.ToWide();
  return std::u16string(wide.begin(), wide.end());
}

}  // namespace orvane::now_playing::windows
