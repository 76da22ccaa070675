#include "runner/utils.h"

#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <iostream>

#include "client_wrapper/flutter_windows.h"

namespace orvane {

namespace {

void ReopenOnConsole(FILE* stream, int descriptor) {
  FILE* reopened = nullptr;
  if (freopen_s(&reopened, "CONOUT$", "w", stream) != 0) {
    // Fall back to wherever standard output goes.
    _dup2(_fileno(stdout), descriptor);
  }
}

}  // namespace

void OpenDebugConsole() {
  if (!::AllocConsole()) {
    return;
  }
  ReopenOnConsole(stdout, 1);
  ReopenOnConsole(stderr, 2);
  std::ios_base::sync_with_stdio(true);
  FlutterDesktopResyncOutputStreams();
}

std::vector<std::string> CommandLineArguments() {
  int count = 0;
  wchar_t** split = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (split == nullptr) {
    return {};
  }
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) {
    arguments.push_back(ToUtf8(split[i]));
  }
  ::LocalFree(split);
  return arguments;
}

std::string ToUtf8(const wchar_t* text) {
  if (text == nullptr) {
    return std::string();
  }
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, nullptr, 0, nullptr, nullptr);
  // 0: not valid UTF-16 (an unpaired surrogate); 1: only the terminator.
  if (needed <= 1) {
    return std::string();
  }
  // The same text into exactly the size just reported: this conversion cannot fail.
  std::string utf8(static_cast<size_t>(needed - 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, static_cast<int>(std::wcslen(text)),
                        utf8.data(), needed - 1, nullptr, nullptr);
  return utf8;
}

}  // namespace orvane
