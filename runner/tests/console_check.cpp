// A GUI program without a console that opens one with OpenDebugConsole and reports to the file
// named by its argument: "console=<0|1> resyncs=<n>" (the engine library's stream resyncs).

#include <windows.h>

#include <cstdio>
#include <string>

#include "runner/utils.h"
#include "testing/engine/engine_standin.h"

int APIENTRY wWinMain(HINSTANCE, HINSTANCE, wchar_t* command_line, int) {
  orvane::OpenDebugConsole();
  HANDLE screen =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  const bool console =
      screen != INVALID_HANDLE_VALUE && ::GetConsoleScreenBufferInfo(screen, &info);
  const std::string report = "console=" + std::to_string(console ? 1 : 0) +
                             " resyncs=" + std::to_string(orvane::testing::Record().output_resyncs);
  FILE* file = nullptr;
  if (_wfopen_s(&file, command_line, L"wb") == 0 && file != nullptr) {
    std::fputs(report.c_str(), file);
    std::fclose(file);
  }
  return 0;
}
