// A GUI program without a console that opens one with OpenDebugConsole and writes
// "console=<0|1> resyncs=<n>" (the engine library's stream resyncs) to the file its argument names.
// With ORVANE_CONSOLE_FIRST=1 it opens a console of its own first, so that the helper's
// AllocConsole fails.

#include <windows.h>

#include <fstream>

#include "runner/utils.h"
#include "testing/engine/engine_standin.h"

int APIENTRY wWinMain(HINSTANCE, HINSTANCE, wchar_t* command_line, int) {
  if (::GetEnvironmentVariableW(L"ORVANE_CONSOLE_FIRST", nullptr, 0) != 0) ::AllocConsole();
  orvane::OpenDebugConsole();
  HANDLE screen =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  std::ofstream(command_line, std::ios::binary)
      << "console=" << (::GetConsoleScreenBufferInfo(screen, &info) ? 1 : 0)
      << " resyncs=" << orvane::testing::Record().output_resyncs;
  return 0;
}
