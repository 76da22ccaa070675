#include "runner/win32_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "runner/flutter_window.h"
#include "runner/system_theme.h"
#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

bool ClassRegistered() {
  WNDCLASSW info{};
  return ::GetClassInfoW(::GetModuleHandleW(nullptr), L"FLUTTER_RUNNER_WIN32_WINDOW", &info) != 0;
}

// Whether `content` covers exactly the client area of `parent`.
bool Fills(HWND parent, HWND content) {
  RECT client;
  RECT child;
  ::GetClientRect(parent, &client);
  ::GetWindowRect(content, &child);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&child), 2);
  return ::EqualRect(&client, &child) != FALSE;
}

bool Open(Win32Window& window) { return window.OpenWindow(L"t", {10, 10}, {300, 200}); }

TEST(Win32Window, ClassLivesFromFirstOpenUntilTheLastWindowObjectGoes) {
  for (int round = 0; round < 2; ++round) {  // and is registered again once it went
    ASSERT_FALSE(ClassRegistered());
    Win32Window first;
    Win32Window second;
    ASSERT_TRUE(Open(first));
    ASSERT_TRUE(Open(second));
    // Opening again replaces the window.
    HWND replaced = first.window_handle();
    ASSERT_TRUE(Open(first));
    EXPECT_FALSE(::IsWindow(replaced));
    first.CloseWindow();
    EXPECT_TRUE(ClassRegistered());
  }
  EXPECT_FALSE(ClassRegistered());
}

TEST(Win32Window, OpensInvisibleAndKeepsItsContentFillingTheClientAreaWithTheFocus) {
  Win32Window window;
  ASSERT_TRUE(Open(window));
  HWND parent = window.window_handle();
  EXPECT_EQ(::GetWindowLongW(parent, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_NE(::SendMessageW(parent, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(::SendMessageW(parent, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_FALSE(::IsWindowVisible(parent));
  ::SetWindowPos(parent, nullptr, 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER);  // nothing to fill

  HWND content = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, parent,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
  window.AttachContent(content);
  EXPECT_TRUE(Fills(parent, content));
  EXPECT_EQ(::GetFocus(), content);
  // A DPI change moves the frame to the system's suggestion as it stands.
  RECT suggested{33, 44, 33 + 451, 44 + 301};
  ::SendMessageW(parent, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT frame;
  ::GetWindowRect(parent, &frame);
  EXPECT_TRUE(::EqualRect(&frame, &suggested));
  EXPECT_TRUE(Fills(parent, content));
  ::SetFocus(parent);
  ::SendMessageW(parent, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(::GetFocus(), content);
}

// Exit on close, as orvane.exe sets it, is checked by closing the real executable.
TEST(Win32Window, ADestroyedWindowIsForgottenWithItsContentAndQuitsNothingByDefault) {
  Win32Window window;
  ASSERT_TRUE(Open(window));
  // Content that outlives the window, moved out as an engine's view may be.
  HWND content = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
  window.AttachContent(content);
  ::SetParent(content, nullptr);
  ::DestroyWindow(window.window_handle());
  EXPECT_EQ(window.window_handle(), nullptr);
  MSG quit;
  EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  // Opened and activated again, the window does not focus the content it had (which may still
  // hold the focus it had inside the window).
  ::SetFocus(nullptr);
  ASSERT_TRUE(Open(window));
  ::SendMessageW(window.window_handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_NE(::GetFocus(), content);
  ::DestroyWindow(content);
}

// Wine draws no dark frames: the two system calls are swapped for fakes that record.
using DarkModeCalls = std::vector<std::pair<HWND, BOOL>>;
struct {
  LSTATUS status;
  DWORD light_theme;
  DarkModeCalls calls;
} theme;

LSTATUS WINAPI FakeRegGetValue(HKEY key, LPCWSTR sub_key, LPCWSTR value, DWORD flags, LPDWORD type,
                               PVOID data, LPDWORD data_size) {
  EXPECT_TRUE(key == HKEY_CURRENT_USER && flags == RRF_RT_REG_DWORD && type == nullptr &&
              *data_size == sizeof(DWORD));
  EXPECT_EQ(
      std::wstring(sub_key) + L"\\" + value,
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize\\AppsUseLightTheme");
  if (theme.status == ERROR_SUCCESS) *static_cast<DWORD*>(data) = theme.light_theme;
  return theme.status;
}

HRESULT WINAPI FakeSetWindowAttribute(HWND window, DWORD attribute, LPCVOID data, DWORD size) {
  EXPECT_EQ(attribute, 20u);
  EXPECT_EQ(size, 4u);
  theme.calls.emplace_back(window, *static_cast<const BOOL*>(data));
  return S_OK;
}

TEST(Win32Window, FrameIsDarkExactlyWhenAppsUseLightThemeIsZero) {
  const SystemThemeCalls saved = system_theme_calls();
  system_theme_calls() = {&FakeRegGetValue, &FakeSetWindowAttribute};
  // Each new window follows the setting, and again at every colourisation change; a setting that
  // is missing (as on systems without it) or unreadable changes nothing.
  theme = {ERROR_SUCCESS, 0, {}};
  Win32Window window;
  ASSERT_TRUE(Open(window));
  const std::pair<LSTATUS, DWORD> settings[] = {{ERROR_SUCCESS, 1},
                                                {ERROR_SUCCESS, 2},
                                                {ERROR_FILE_NOT_FOUND, 0},
                                                {ERROR_UNSUPPORTED_TYPE, 0}};
  for (const auto& setting : settings) {
    std::tie(theme.status, theme.light_theme) = setting;
    ::SendMessageW(window.window_handle(), WM_DWMCOLORIZATIONCOLORCHANGED, 0, 0);
  }
  const HWND w = window.window_handle();
  EXPECT_EQ(theme.calls, (DarkModeCalls{{w, TRUE}, {w, FALSE}, {w, FALSE}}));
  system_theme_calls() = saved;
}

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
  for (const bool closed : {true, false}) {
    testing::ResetEngineStandin();
    auto window = std::make_unique<FlutterWindow>(EngineProject(u"data"), true);
    ASSERT_TRUE(Open(*window));
    const HWND top = window->window_handle();
    const std::set<DWORD> before = Threads();
    // "start" on the now-playing channel, without arguments.
    testing::DeliverMessage("com.orvane.now_playing", {0x07, 0x05, 's', 't', 'a', 'r', 't', 0x00});
    std::set<DWORD> poller = Threads();
    for (DWORD thread : before) poller.erase(thread);
    EXPECT_FALSE(poller.empty());
    testing::SetViewControllerDestroyHook([top] { ::SendMessageW(top, WM_FONTCHANGE, 0, 0); });
    if (closed) {
      ::DestroyWindow(top);
    } else {
      window.reset();
    }
    const std::set<DWORD> after = Threads();
    for (DWORD thread : poller) EXPECT_EQ(after.count(thread), 0u) << closed;
    window.reset();
    const testing::EngineRecord record = testing::Record();
    EXPECT_EQ(record.violations, std::vector<std::string>{});
    EXPECT_EQ(record.view_controllers_destroyed, 1);
  }
  testing::ResetEngineStandin();
}

}  // namespace
}  // namespace orvane
