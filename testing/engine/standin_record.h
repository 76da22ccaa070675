#pragma once

// The record that the stand-in libraries keep for a test that runs the real executable: one line
// per event, appended to the file named by ORVANE_STANDIN_RECORD (nothing when it is unset). The
// file is opened for each line, so the engine and plug-in stand-ins share it in call order and a
// crash loses nothing already written. The variable's name in a library marks it as a stand-in:
// configuring a release from a UI build rejects a library that holds it.

#include <windows.h>

#include <cstdio>
#include <string>

namespace orvane_standin {

// The variable's value; empty when it is unset or longer than a path.
inline std::wstring EnvironmentText(const wchar_t* name) {
  wchar_t value[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return std::wstring();
  }
  return std::wstring(value, length);
}

// UTF-8 to UTF-16, for the stand-ins' texts and the demo.
inline std::wstring Widen(const std::string& text) {
  if (text.empty()) {
    return std::wstring();
  }
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
  return out;
}

inline void AppendRecord(const std::string& line) {
  const std::wstring path = EnvironmentText(L"ORVANE_STANDIN_RECORD");
  if (path.empty()) {
    return;
  }
  FILE* file = nullptr;
  if (_wfopen_s(&file, path.c_str(), L"ab") != 0 || file == nullptr) {
    return;
  }
  std::fputs(line.c_str(), file);
  std::fputc('\n', file);
  std::fclose(file);
}

}  // namespace orvane_standin
