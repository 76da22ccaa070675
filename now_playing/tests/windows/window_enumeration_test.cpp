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
#include "now_playing/windows/window_enumeration.h"
#include "testing/allocation/failing_allocation.h"
#include "testing/browser_window/browser_process.h"
#include "testing/now_playing_ports/fake_ports.h"

namespace orvane::now_playing::windows {
namespace {

using orvane::testing::BrowserProcess;
using orvane::testing::BrowserWindow;
using orvane::testing::FailAllocationAfter;
using orvane::testing::FailedAllocations;
using orvane::testing::ProgramFolder;

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
  std::string label;
  std::u16string application_id = u"";
  std::u16string media_title = u"";
};

TEST(WindowEnumerationTest, ClassifiesByRealBrowserWindows) {
  const std::wstring padding(504, L'x');
  // A copy whose full image path has 259 characters, as many as the path buffer holds.
  const std::wstring long_name(259 - ProgramFolder().size() - 11, L'd');
  ::CreateDirectoryW((ProgramFolder() + long_name).c_str(), nullptr);
  ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"chrome.exe").c_str(),
                          (ProgramFolder() + long_name + L"\\chrome.exe").c_str(), FALSE));
  const Case cases[] = {
      {"first pass: the window showing the media, though another above it names a site",
       {{L"chrome.exe", L"Song A - YouTube"}, {L"msedge.exe", L"Live - Twitch"}},
       "youtube",
       u"Chrome",
       u"Song A"},
      {"a hidden browser window", {{L"brave.exe", L"YouTube", true}}, "browser", u"Brave"},
      {"an image path of 259 characters", {{long_name + L"\\chrome.exe", L"YouTube"}}, "youtube"},
      {"a site ending at the 511th character", {{L"opera.exe", padding + L"youtube"}}, "youtube"},
      {"a site past the 511th character", {{L"vivaldi.exe", padding + L"xyoutube"}}, "unknown"},
  };
  Win32WindowPlatform platform;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::unique_ptr<BrowserProcess>> processes;
    for (const BrowserWindow& window : c.windows) {
      processes.push_back(std::make_unique<BrowserProcess>(window));
      EXPECT_TRUE(processes.back()->ready());
    }
    EXPECT_EQ(ClassifySource(platform, c.application_id, c.media_title), c.label);
  }
}

// Out of memory at any allocation of a reading that scans the windows, and then none: no reading
// until the last, no process handle left open, nothing thrown through EnumWindows (which would
// leave its window list behind).
TEST(WindowEnumerationTest, RunsOutOfMemoryAnywhereInAReading) {
  BrowserProcess chrome({L"chrome.exe", L"Song A - YouTube"});
  ASSERT_TRUE(chrome.ready());
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
