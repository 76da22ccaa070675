#pragma once

// Loading the media-session stand-in into a test program (media_session.h).
#include <windows.h>

#include <string>

#include "testing/media_session/media_session.h"

namespace orvane::testing {

// An export of the stand-in; null when `module` is null or lacks it.
template <class Fn>
Fn MediaSessionExport(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Loads the copy beside the running program and registers its classes in the prefix's machine
// registry with that copy as their library. Null when either fails.
inline HMODULE LoadMediaSession() {
  wchar_t path[MAX_PATH];
  std::wstring dll(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"media_session.dll";
  const HMODULE module = ::LoadLibraryW(dll.c_str());
  const auto register_classes =
      MediaSessionExport<MediaSessionRegisterFn>(module, "media_session_register");
  if (register_classes != nullptr && register_classes() == ERROR_SUCCESS) return module;
  if (module != nullptr) ::FreeLibrary(module);
  return nullptr;
}

}  // namespace orvane::testing
