#pragma once

// The real orvane.exe run beside the stand-in engine and plug-in libraries, for the tests that
// drive it from outside (testing/engine/host_standin.h).

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "testing/program_folder.h"

namespace orvane {

using Lines = std::vector<std::string>;

inline std::wstring TempFile() {
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"ovt", 0, path);
  return path;
}

inline std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Starts `program` from the test's folder without a console; with `output`, its standard output
// and error go there.
inline HANDLE Start(const std::wstring& program, const std::wstring& tail, HANDLE output) {
  std::wstring command = L"\"" + testing::ProgramFolder() + program + L"\" " + tail;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr,
                        DETACHED_PROCESS, nullptr, testing::ProgramFolder().c_str(), &startup,
                        &info)) {
    return nullptr;
  }
  ::CloseHandle(info.hThread);
  return info.hProcess;
}

// Polls until `done` holds, for at most 30 s.
inline bool WaitUntil(const std::function<bool()>& done) {
  for (int tries = 0; tries < 600; ++tries, ::Sleep(50)) {
    if (done()) return true;
  }
  return false;
}

// The exit code, or STILL_ACTIVE when the process is still running after 20 s.
inline DWORD ExitCode(HANDLE process) {
  DWORD code = STILL_ACTIVE;
  if (process != nullptr && ::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(process, &code);
  return code;
}

// orvane.exe under the stand-in engine, set up through its ORVANE_STANDIN_* variables (see
// testing/engine/host_standin.h); reads the stand-in's record and the standard error. A run that
// ended by itself must have made no call the real engine library would reject or crash on.
class Host {
 public:
  // `fails`: VIEW or WINDOW, what the stand-in makes fail.
  Host(const std::wstring& tail, const wchar_t* dpi, UINT consumed = 0,
       const std::wstring& fails = L"", bool engine_quits = false) {
    // The child inherits this process's environment.
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_DPI", dpi);
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_CONSUME",
                              consumed != 0 ? std::to_wstring(consumed).c_str() : nullptr);
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_FAIL_VIEW", fails == L"VIEW" ? L"1" : nullptr);
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_FAIL_WINDOW", fails == L"WINDOW" ? L"1" : nullptr);
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_QUIT", engine_quits ? L"1" : nullptr);
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_RECORD", record_.c_str());
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE error = ::CreateFileW(errors_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    process_ = Start(L"orvane.exe", tail, error);
    ::CloseHandle(error);
  }
  ~Host() {
    if (ExitCode(process_) != STILL_ACTIVE) {
      const std::string record = Record();
      EXPECT_EQ(record.substr(record.rfind('\n', record.size() - 2)), "\nviolations 0\n");
    }
    ::TerminateProcess(process_, 99);  // fails harmlessly once the process has ended
    ::WaitForSingleObject(process_, 5000);
    ::CloseHandle(process_);
    ::DeleteFileW(record_.c_str());
    ::DeleteFileW(errors_.c_str());
  }

  // The record as "\n<line>" for each event.
  std::string Record() const { return "\n" + ReadFile(record_); }
  // The values of the record lines "<prefix> <value>".
  Lines Values(const std::string& prefix) const {
    const std::string record = Record();
    const std::string start = "\n" + prefix + " ";
    Lines values;
    for (size_t at = record.find(start); at != std::string::npos; at = record.find(start, at + 1)) {
      const size_t from = at + start.size();
      values.push_back(record.substr(from, record.find('\n', from) - from));
    }
    return values;
  }
  // The process's top-level window (test programs make windows of the same class). Searched in
  // one snapshot of the list: stepping with FindWindowEx ends early, with null, when the window
  // it steps from (another program's) is destroyed meanwhile.
  HWND Window() const {
    std::pair<DWORD, HWND> search{::GetProcessId(process_), nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) {
          auto& [process, found] = *reinterpret_cast<std::pair<DWORD, HWND>*>(data);
          DWORD owner = 0;
          wchar_t name[32] = L"";
          ::GetWindowThreadProcessId(window, &owner);
          ::GetClassNameW(window, name, 32);
          if (owner == process && std::wstring(name) == L"FLUTTER_RUNNER_WIN32_WINDOW")
            found = window;
          return static_cast<BOOL>(found == nullptr);
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
  }
  DWORD Exit() const { return ExitCode(process_); }
  std::string Errors() const {
    std::string text = ReadFile(errors_);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
  }

 private:
  std::wstring record_ = TempFile();
  std::wstring errors_ = TempFile();
  HANDLE process_ = nullptr;
};

}  // namespace orvane
