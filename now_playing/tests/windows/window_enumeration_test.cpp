// The source classification through the Win32 window port, against real windows of processes
// whose image names are the browsers' (copies of testing/browser_window beside this program).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "now_playing/media_snapshot.h"
#include "now_playing/source_classification.h"
#include "testing/now_playing_ports/fake_ports.h"
#include "now_playing/windows/window_enumeration.h"
#include "testing/allocation/failing_allocation.h"

namespace orvane::now_playing::windows {
namespace {

using orvane::testing::FailAllocationAfter;
using orvane::testing::FailedAllocations;

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

struct BrowserWindow {
  std::wstring image;  // relative to this program's folder
  std::wstring title;
  bool hidden = false;
};

// A started browser-like process, ended when the holder goes.
class BrowserProcess {
 public:
  explicit BrowserProcess(const BrowserWindow& window) {
    const std::wstring image = ProgramFolder() + window.image;
    // Set once its window is shown. Waiting until the process is idle is not enough: Wine counts
    // any wait on its message queue (user32's own, say) as idle, window or not.
    static int started = 0;
    const std::wstring ready = L"orvane-browser-window-" +
                               std::to_wstring(::GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++started);
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
    std::wstring command = L"\"" + image + L"\" --ready " + ready + L" " +
                           (window.hidden ? L"--hidden " : L"") + L"\"" + window.title + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!::CreateProcessW(image.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_)) {
      ADD_FAILURE() << "could not start " << ::GetLastError();
    } else {
      const HANDLE waits[] = {event, info_.hProcess};
      EXPECT_EQ(::WaitForMultipleObjects(2, waits, FALSE, 10000), WAIT_OBJECT_0);
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

 private:
  PROCESS_INFORMATION info_{};
};

// The handles this process holds. GetProcessHandleCount answers 0 under Wine, so probe the handle
// values (multiples of 4; a few dozen are in use here) instead.
int HandleCount() {
  int count = 0;
  DWORD flags = 0;
  for (uintptr_t value = 4; value < 0x1000; value += 4) {
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// Blocks in use on the process heap, where user32 keeps the window list of an enumeration.
int ProcessHeapBlocks() {
  int count = 0;
  PROCESS_HEAP_ENTRY entry{};
  while (::HeapWalk(::GetProcessHeap(), &entry)) {
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++count;
  }
  return count;
}

struct Case {
  const char* name;
  std::vector<BrowserWindow> windows;  // started in this order; the last is on top
  std::u16string application_id;
  std::u16string media_title;
  std::string label;
};

TEST(WindowEnumerationTest, ClassifiesByRealBrowserWindows) {
  const std::wstring padding(504, L'x');
  // A copy whose full image path has 259 characters, as many as the path buffer holds.
  const std::wstring long_name(259 - ProgramFolder().size() - 11, L'd');
  ::CreateDirectoryW((ProgramFolder() + long_name).c_str(), nullptr);
  ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"chrome.exe").c_str(),
                          (ProgramFolder() + long_name + L"\\chrome.exe").c_str(), FALSE));
  const Case cases[] = {
      {"first pass: the window showing the media, though another names a site above it",
       {{L"chrome.exe", L"Song A - YouTube"}, {L"msedge.exe", L"Live - Twitch"}},
       u"Chrome",
       u"Song A",
       "youtube"},
      {"a hidden browser window is skipped",
       {{L"brave.exe", L"Song A - YouTube", true}},
       u"Brave",
       u"Song A",
       "browser"},
      {"an image path of 259 characters",
       {{long_name + L"\\chrome.exe", L"YouTube"}},
       u"",
       u"",
       "youtube"},
      {"a site that ends at the 511th character is found",
       {{L"opera.exe", padding + L"youtube"}},
       u"",
       u"",
       "youtube"},
      {"a site past the 511th character of a long title is not",
       {{L"vivaldi.exe", padding + L"xyoutube" + std::wstring(88, L'x')}},
       u"",
       u"",
       "unknown"},
  };
  Win32WindowPlatform platform;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::unique_ptr<BrowserProcess>> processes;
    for (const BrowserWindow& window : c.windows) {
      processes.push_back(std::make_unique<BrowserProcess>(window));
    }
    EXPECT_EQ(ClassifySource(platform, c.application_id, c.media_title), c.label);
  }
}

// Out of memory at any allocation of a reading that scans the windows, and then none: no reading
// until the last, no process handle left open, nothing thrown through EnumWindows (which would
// leave its window list behind).
TEST(WindowEnumerationTest, RunsOutOfMemoryAnywhereInAReading) {
  BrowserProcess chrome({L"chrome.exe", L"Song A - YouTube"});
  testing::FakePlatform platform;
  platform.media->SetScript({u"Song A", u"Artist", u"", u"Chrome", kPlaybackPlaying, {}, ""});
  platform.ports.windows = std::make_unique<Win32WindowPlatform>();
  ReadMediaSnapshot(platform.ports);  // Wine's own handles, from the first use on
  const int handles = HandleCount();
  const int blocks = ProcessHeapBlocks();
  for (int succeeding = 0;; ++succeeding) {
    const int failed = FailedAllocations();
    FailAllocationAfter(succeeding);
    const std::optional<MediaSnapshot> reading = ReadMediaSnapshot(platform.ports);
    FailAllocationAfter(-1);
    EXPECT_EQ(HandleCount(), handles) << succeeding;
    if (FailedAllocations() == failed) {
      ASSERT_TRUE(reading);
      EXPECT_EQ(reading->at(EncodableValue("source")), EncodableValue("youtube"));
      break;
    }
    EXPECT_EQ(reading, std::nullopt) << succeeding;
  }
  EXPECT_EQ(ProcessHeapBlocks(), blocks);
}

// What the port answers when the system has nothing: no process to open, a path longer than the
// room for it, a window without a title.
TEST(WindowEnumerationTest, AnswersWithoutAnything) {
  Win32WindowPlatform platform;
  EXPECT_EQ(platform.ProcessImagePath(0, MAX_PATH), std::nullopt);
  EXPECT_EQ(platform.ProcessImagePath(::GetCurrentProcessId(), 4), std::nullopt);
  EXPECT_EQ(platform.WindowText(::GetDesktopWindow(), 512), u"");
}

}  // namespace
}  // namespace orvane::now_playing::windows
