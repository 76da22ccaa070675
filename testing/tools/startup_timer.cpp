// Measures a GUI program's start-up and exit: for each run, the time from CreateProcess until its
// top-level window of the given class is visible (for orvane.exe: the engine's first frame), and
// from posting WM_CLOSE until the process has ended. Prints every run and the medians.
//   startup_timer.exe RUNS CLASS PROGRAM [ARGUMENTS...]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now;
}

struct Search {
  DWORD process_id;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  if (owner == search->process_id && std::wcscmp(name, search->class_name) == 0 &&
      ::IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fwprintf(stderr, L"usage: startup_timer.exe RUNS CLASS PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  const int runs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
  const wchar_t* class_name = argv[2];
  std::wstring command = L"\"" + std::wstring(argv[3]) + L"\"";
  for (int i = 4; i < argc; ++i) {
    command += L" " + std::wstring(argv[i]);
  }
  std::vector<double> shown_times;
  std::vector<double> exit_times;
  for (int run = 0; run < runs; ++run) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring line = command;
    const LARGE_INTEGER start = Now();
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
      std::fwprintf(stderr, L"cannot start %ls\n", argv[3]);
      return 1;
    }
    Search search{info.dwProcessId, class_name, nullptr};
    while (search.found == nullptr && ::WaitForSingleObject(info.hProcess, 1) == WAIT_TIMEOUT) {
      ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    }
    const LARGE_INTEGER shown = Now();
    if (search.found == nullptr) {
      std::fwprintf(stderr, L"run %d: the program ended without showing its window\n", run);
      return 1;
    }
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(info.hProcess, INFINITE);
    const LARGE_INTEGER ended = Now();
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    shown_times.push_back(Milliseconds(start, shown));
    exit_times.push_back(Milliseconds(shown, ended));
    std::wprintf(L"run %2d: window shown after %8.1f ms, exit %lu after WM_CLOSE %8.1f ms\n", run,
                 shown_times.back(), code, exit_times.back());
  }
  std::wprintf(L"median over %d runs: start to window shown %.1f ms, WM_CLOSE to exit %.1f ms\n",
               runs, Median(shown_times), Median(exit_times));
  return 0;
}
