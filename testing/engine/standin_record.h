#pragma once

// The record that the stand-in libraries keep for a test that runs the real executable: one line
// per event, appended to the file named by ORVANE_STANDIN_RECORD (nothing when it is unset). The
// file is opened for each line, so the engine and plug-in stand-ins share it in call order and a
// crash loses nothing already written.

#include <windows.h>

#include <cstdio>
#include <string>

namespace orvane_standin {

inline void AppendRecord(const std::string& line) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"ORVANE_STANDIN_RECORD", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  FILE* file = nullptr;
  if (_wfopen_s(&file, path, L"ab") != 0 || file == nullptr) {
    return;
  }
  std::fputs(line.c_str(), file);
  std::fputc('\n', file);
  std::fclose(file);
}

inline std::string PointerText(const void* pointer) {
  char text[32];
  std::snprintf(text, sizeof(text), "%p", pointer);
  return text;
}

}  // namespace orvane_standin
