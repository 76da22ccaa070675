#pragma once

// Starting the browser-like program (browser_window.cpp) from a test built beside its copies, and
// waiting until its window is there.
#include <windows.h>

#include <string>

#include "testing/program_folder.h"

namespace orvane::testing {

// What one copy is started as: its command line.
struct BrowserWindow {
  std::wstring image;  // relative to ProgramFolder()
  std::wstring title;
  bool hidden = false;
};

// A copy started with one window, ended when the holder goes. Constructed once the window has its
// title and is shown (or, hidden, created), or once the process has ended or could not start:
// ready() tells which.
class BrowserProcess {
 public:
  explicit BrowserProcess(const BrowserWindow& window) {
    // Waiting until the process is idle is not enough: Wine counts any wait on its message queue
    // (user32's own, say) as idle, window or not.
    static int started = 0;
    const std::wstring ready = L"orvane-browser-window-" +
                               std::to_wstring(::GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++started);
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
    const std::wstring image = ProgramFolder() + window.image;
    std::wstring command = L"\"" + image + L"\" --ready " + ready + L" " +
                           (window.hidden ? L"--hidden " : L"") + L"\"" + window.title + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (::CreateProcessW(image.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &info_)) {
      const HANDLE waits[] = {event, info_.hProcess};
      ready_ = ::WaitForMultipleObjects(2, waits, FALSE, 10000) == WAIT_OBJECT_0;
    }
    ::CloseHandle(event);
  }
  ~BrowserProcess() {
    if (info_.hProcess == nullptr) return;
    ::TerminateProcess(info_.hProcess, 0);
    ::WaitForSingleObject(info_.hProcess, INFINITE);
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
  BrowserProcess(const BrowserProcess&) = delete;
  BrowserProcess& operator=(const BrowserProcess&) = delete;

  bool ready() const { return ready_; }

 private:
  PROCESS_INFORMATION info_{};
  bool ready_ = false;
};

}  // namespace orvane::testing
