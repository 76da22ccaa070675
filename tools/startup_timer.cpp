// Measures GUI programs' start-up and exit, runs of the programs taking turns: for each run, the
// time from CreateProcess until its top-level window of the given class is visible (for
// orvane.exe: the engine's first frame), and from posting WM_CLOSE until the process has ended;
// and the start-up profile the run wrote (tools/startup_profile.h). Prints the medians
// side by side: for each step, the time since the process was created and since the step before.
// With ORVANE_TIMER_CLOSE_AFTER_MS set, WM_CLOSE comes that long after the window is visible.
//   startup_timer.exe RUNS LABEL CLASS PROGRAM [LABEL CLASS PROGRAM...]

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <map>
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

// How long the program runs with its window visible before it is closed.
DWORD CloseAfter() {
  wchar_t text[16] = {};
  ::GetEnvironmentVariableW(L"ORVANE_TIMER_CLOSE_AFTER_MS", text, 16);
  return static_cast<DWORD>(std::wcstoul(text, nullptr, 10));
}

double Median(std::vector<double> values) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// One program's samples over all runs, per step name.
struct Samples {
  std::wstring label;
  const wchar_t* class_name;
  std::wstring program;
  std::map<std::string, std::vector<double>> at;    // since the process was created
  std::map<std::string, std::vector<double>> step;  // since the step before, in that run
  std::vector<double> seen_visible;
  std::vector<double> exit_after_close;
};

constexpr const char* kSeenVisible = "visible (seen by the timer)";
constexpr const char* kExitAfterClose = "WM_CLOSE to exit";

// The spans of the host's start-up, (from, to) step names: its own code and the system calls it
// makes (COM initialisation, window creation), which the profile cannot tell apart.
constexpr const char* kHostSpans[][2] = {{"entry", "engine-created"},
                                         {"view-controller-created", "redraw-forced"}};

std::vector<std::pair<std::string, double>> ReadProfile(const std::wstring& path) {
  std::vector<std::pair<std::string, double>> steps;
  std::ifstream in(path.c_str());
  std::string name;
  double milliseconds = 0;
  while (in >> name >> milliseconds) {
    steps.emplace_back(name, milliseconds);
  }
  return steps;
}

// Adds the run's step names to `order` that it lacks, each after the step before it in the run, so
// that the rows keep every program's own order.
void MergeOrder(const std::vector<std::pair<std::string, double>>& steps,
                std::vector<std::string>& order) {
  size_t next = 0;
  for (const auto& step : steps) {
    auto found = std::find(order.begin(), order.end(), step.first);
    if (found == order.end()) {
      found = order.insert(order.begin() + static_cast<std::ptrdiff_t>(next), step.first);
    }
    next = static_cast<size_t>(found - order.begin()) + 1;
  }
}

// Runs the program once; false when it could not be started or never showed its window.
bool RunOnce(Samples& samples, const std::wstring& profile_path, int run,
             std::vector<std::string>& order) {
  ::DeleteFileW(profile_path.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + samples.program + L"\"";
  const LARGE_INTEGER start = Now();
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    std::fwprintf(stderr, L"cannot start %ls\n", samples.program.c_str());
    return false;
  }
  Search search{info.dwProcessId, samples.class_name, nullptr};
  while (search.found == nullptr && ::WaitForSingleObject(info.hProcess, 1) == WAIT_TIMEOUT) {
    ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  }
  const LARGE_INTEGER shown = Now();
  LARGE_INTEGER closed = shown;
  if (search.found != nullptr) {
    ::Sleep(CloseAfter());
    closed = Now();
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  ::WaitForSingleObject(info.hProcess, INFINITE);
  const LARGE_INTEGER ended = Now();
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  if (search.found == nullptr) {
    std::fwprintf(stderr, L"%ls run %d: ended without showing its window\n", samples.label.c_str(),
                  run);
    return false;
  }
  samples.seen_visible.push_back(Milliseconds(start, shown));
  samples.exit_after_close.push_back(Milliseconds(closed, ended));
  const std::vector<std::pair<std::string, double>> steps = ReadProfile(profile_path);
  MergeOrder(steps, order);
  double previous = 0;
  for (const auto& [name, milliseconds] : steps) {
    samples.at[name].push_back(milliseconds);
    samples.step[name].push_back(milliseconds - previous);
    previous = milliseconds;
  }
  return true;
}

void PrintSideBySide(const std::vector<Samples>& programs, const std::vector<std::string>& rows,
                     int runs) {
  std::wprintf(
      L"\nmedians over %d runs, milliseconds: since the process was created / since the "
      L"step before\n%-28hs",
      runs, "step");
  for (const Samples& samples : programs) {
    std::wprintf(L" %24ls", samples.label.c_str());
  }
  std::wprintf(L"\n");
  for (const std::string& row : rows) {
    std::wprintf(L"%-28hs", row.c_str());
    for (const Samples& samples : programs) {
      auto at = samples.at.find(row);
      if (at == samples.at.end()) {
        std::wprintf(L" %24ls", L"-");
      } else {
        std::wprintf(L"       %8.1f / %7.1f", Median(at->second), Median(samples.step.at(row)));
      }
    }
    std::wprintf(L"\n");
  }
  for (const char* name : {kSeenVisible, kExitAfterClose}) {
    std::wprintf(L"%-28hs", name);
    for (const Samples& samples : programs) {
      const auto& values = name == kSeenVisible ? samples.seen_visible : samples.exit_after_close;
      std::wprintf(L"       %8.1f          ", Median(values));
    }
    std::wprintf(L"\n");
  }
  // The host's own work: medians of the per-run spans.
  for (const Samples& samples : programs) {
    for (const auto& span : kHostSpans) {
      auto from = samples.at.find(span[0]);
      auto to = samples.at.find(span[1]);
      if (from == samples.at.end() || to == samples.at.end() ||
          from->second.size() != to->second.size()) {
        continue;
      }
      std::vector<double> lengths;
      for (size_t i = 0; i < from->second.size(); ++i) {
        lengths.push_back(to->second[i] - from->second[i]);
      }
      std::wprintf(L"%ls: %hs to %hs: %.2f ms\n", samples.label.c_str(), span[0], span[1],
                   Median(lengths));
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) {
    std::fwprintf(stderr,
                  L"usage: startup_timer.exe RUNS LABEL CLASS PROGRAM [LABEL CLASS PROGRAM...]\n");
    return 2;
  }
  const int runs = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
  std::vector<Samples> programs;
  for (int i = 2; i + 2 < argc; i += 3) {
    programs.push_back(Samples{argv[i], argv[i + 1], argv[i + 2], {}, {}, {}, {}});
  }
  wchar_t folder[MAX_PATH];
  wchar_t profile_path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"ovp", 0, profile_path);
  // The programs inherit it: where their start-up profile goes.
  ::SetEnvironmentVariableW(L"ORVANE_STARTUP_PROFILE", profile_path);
  std::vector<std::string> order;  // the steps, in the programs' own order
  for (int run = 0; run < runs; ++run) {
    for (Samples& samples : programs) {
      if (!RunOnce(samples, profile_path, run, order)) {
        return 1;
      }
    }
    std::wprintf(L"run %2d:", run);
    for (const Samples& samples : programs) {
      std::wprintf(L"  %ls visible after %.1f ms, exit %.1f ms after WM_CLOSE;",
                   samples.label.c_str(), samples.seen_visible.back(),
                   samples.exit_after_close.back());
    }
    std::wprintf(L"\n");
  }
  ::DeleteFileW(profile_path);
  PrintSideBySide(programs, order, runs);
  return 0;
}
