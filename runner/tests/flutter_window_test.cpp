#include "runner/flutter_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the stand-in's control

std::set<DWORD> Threads() {
  std::set<DWORD> threads;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) threads.insert(entry.th32ThreadID);
  ::CloseHandle(snapshot);
  return threads;
}

// Closed, or deleted while still open (as when the message loop ends on a quit that did not come
// from closing it), the window takes the now-playing service with it: its poller is joined then,
// not at some later point after COM has gone. The library sends window messages while it takes
// its view down (here also a font change); none may reach a controller or engine being destroyed.
TEST(FlutterWindow, EndingTheWindowReleasesTheServiceAndTheEngineOnceAndSafely) {
  // "start" on the now-playing channel, without arguments.
  const std::vector<uint8_t> start = {0x07, 0x05, 's', 't', 'a', 'r', 't', 0x00};
  for (const bool closed : {true, false}) {
    ResetEngineStandin();
    auto window = std::make_unique<FlutterWindow>(EngineProject(u"data"), true);
    ASSERT_TRUE(window->OpenWindow(L"t", {10, 10}, {300, 200}));
    const HWND top = window->window_handle();
    const std::set<DWORD> before = Threads();
    EXPECT_EQ(DeliverMessage("com.orvane.now_playing", start).responses.at(0).bytes,
              (std::vector<uint8_t>{0x00, 0x01}));
    std::set<DWORD> poller = Threads();
    for (DWORD thread : before) poller.erase(thread);
    EXPECT_FALSE(poller.empty());
    SetViewControllerDestroyHook([top] { ::SendMessageW(top, WM_FONTCHANGE, 0, 0); });
    if (closed) {
      ::DestroyWindow(top);
    } else {
      window.reset();
    }
    EXPECT_FALSE(::IsWindow(top));
    const std::set<DWORD> after = Threads();
    for (DWORD thread : poller) EXPECT_EQ(after.count(thread), 0u) << closed;
    window.reset();
    const EngineRecord record = Record();
    EXPECT_EQ(record.violations, std::vector<std::string>{});
    EXPECT_EQ(record.view_controllers_destroyed, 1);
  }
  ResetEngineStandin();
}

}  // namespace
}  // namespace orvane
