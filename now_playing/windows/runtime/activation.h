#pragma once

// Activation factories and statics of Runtime classes, by class name.
#include <windows.h>

#include <roapi.h>
#include <wrl/client.h>
#include <wrl/wrappers/corewrappers.h>

#include "now_playing/windows/runtime/com_ptr.h"
#include "now_playing/windows/runtime/interface_id.h"

namespace orvane::runtime {

// `class_name` is a string literal, referenced without a copy.
template <class Factory, size_t N>
HRESULT GetActivationFactory(const wchar_t (&class_name)[N], ComPtrOut<Factory> factory) {
  Microsoft::WRL::Wrappers::HStringReference name(class_name);
  Microsoft::WRL::ComPtr<Factory>* target = factory;
  return RoGetActivationFactory(name.Get(), IidOf<Factory>(),
                                reinterpret_cast<void**>(target->ReleaseAndGetAddressOf()));
}

// Queries `from` for T, by the IID this layer knows for it.
template <class T, class From>
HRESULT Query(const Microsoft::WRL::ComPtr<From>& from, ComPtrOut<T> to) {
  Microsoft::WRL::ComPtr<T>* target = to;
  return from->QueryInterface(IidOf<T>(),
                              reinterpret_cast<void**>(target->ReleaseAndGetAddressOf()));
}

}  // namespace orvane::runtime
