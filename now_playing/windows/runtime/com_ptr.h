#pragma once

// Helpers around the helper library's ComPtr that behave the same with both toolchains.
#include <wrl/client.h>

namespace orvane::runtime {

// Out-parameters are written `&pointer` for a ComPtr `pointer`, as with the library's own
// functions.
template <class T>
using ComPtrOut = Microsoft::WRL::Details::ComPtrRef<Microsoft::WRL::ComPtr<T>>;

// Takes over the reference of a new object. ComPtr::Attach cannot be used for this: the cross
// compiler's copy adds a reference there, the Windows SDK's does not.
template <class T>
Microsoft::WRL::ComPtr<T> Adopt(T* object) {
  Microsoft::WRL::ComPtr<T> pointer;
  *pointer.GetAddressOf() = object;
  return pointer;
}

}  // namespace orvane::runtime
