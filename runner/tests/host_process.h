#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace orvane {

// orvane.exe from the test's own folder, started under the stand-in engine with the given
// command-line tail and stand-in settings (ORVANE_STANDIN_* variables, see
// testing/engine/host_standin.h). Reads the stand-in's record and the process's standard error.
class HostProcess {
 public:
  using Settings = std::vector<std::pair<std::wstring, std::wstring>>;

  HostProcess(const std::wstring& command_tail, const Settings& settings);
  ~HostProcess();

  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  bool started() const { return process_ != nullptr; }

  // Waits until a record line starts with `prefix`; false after the timeout.
  bool WaitForRecord(const std::string& prefix, DWORD timeout_ms = 20000);
  std::vector<std::string> Record() const;
  // The record lines that start with `prefix`, the prefix and one space removed.
  std::vector<std::string> RecordValues(const std::string& prefix) const;

  // The process's top-level window of class "FLUTTER_RUNNER_WIN32_WINDOW", or null.
  HWND FindHostWindow() const;

  // Exit code after the process ended, or STILL_ACTIVE after the timeout.
  DWORD WaitForExit(DWORD timeout_ms = 20000);
  std::string StandardError() const;

 private:
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  std::wstring record_path_;
  std::wstring stderr_path_;
};

// Index of the first record line starting with `prefix`, or -1.
int IndexOf(const std::vector<std::string>& record, const std::string& prefix);

}  // namespace orvane
