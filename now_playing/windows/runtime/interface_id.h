#pragma once

#include <windows.h>

#include <type_traits>

// Interfaces declared in this layer carry their identifier as `Iid()`; interfaces that the
// platform headers declare are found through __uuidof. Both toolchains then look up an IID the
// same way, without needing the compiler's uuid attribute on our own declarations.
#define ORVANE_RUNTIME_IID(l, w1, w2, b0, b1, b2, b3, b4, b5, b6, b7)     \
  static const IID& Iid() {                                               \
    static const IID iid = {l, w1, w2, {b0, b1, b2, b3, b4, b5, b6, b7}}; \
    return iid;                                                           \
  }

namespace orvane::runtime {

template <class T, class = void>
struct InterfaceId {
  static const IID& Get() { return __uuidof(T); }
};

template <class T>
struct InterfaceId<T, std::void_t<decltype(T::Iid())>> {
  static const IID& Get() { return T::Iid(); }
};

template <class T>
const IID& IidOf() {
  return InterfaceId<T>::Get();
}

}  // namespace orvane::runtime
