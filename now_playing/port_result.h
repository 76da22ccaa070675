#pragma once

#include <utility>

namespace orvane::now_playing {

// The outcome of one platform call. `ok` is false when the call reported an error, or when an
// awaited operation was cancelled or completed with an error; `value` then means nothing. A call
// that succeeds with a null object is `ok` with a null pointer as its value.
template <typename T>
struct PortResult {
  bool ok = false;
  T value{};
};

template <typename T>
PortResult<T> Succeeded(T value) {
  return PortResult<T>{true, std::move(value)};
}

template <typename T>
PortResult<T> Failed() {
  return PortResult<T>{};
}

}  // namespace orvane::now_playing
