#pragma once

// The running program's folder, with its trailing backslash: where a test program finds the
// stand-ins and programs copied beside it.
#include <windows.h>

#include <string>

namespace orvane::testing {

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring program(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return program.substr(0, program.find_last_of(L"\\/") + 1);
}

}  // namespace orvane::testing
