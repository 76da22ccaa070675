#include "runner/win32_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runner/system_theme.h"

namespace orvane {
namespace {

constexpr wchar_t kClassName[] = L"FLUTTER_RUNNER_WIN32_WINDOW";

bool ClassRegistered() {
  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  return ::GetClassInfoExW(::GetModuleHandleW(nullptr), kClassName, &info) != 0;
}

// The stand-in engine library reports this DPI for every monitor.
void SetMonitorDpi(const wchar_t* dpi) { ::SetEnvironmentVariableW(L"ORVANE_STANDIN_DPI", dpi); }

bool TakeQuitMessage(WPARAM* exit_code) {
  MSG message;
  if (!::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    return false;
  }
  *exit_code = message.wParam;
  return true;
}

class RecordingWindow : public Win32Window {
 public:
  std::vector<UINT> messages;
  bool created_result = true;
  int destroyed_calls = 0;

 protected:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    messages.push_back(message);
    return Win32Window::HandleMessage(window, message, wparam, lparam);
  }
  bool OnWindowCreated() override { return created_result; }
  void OnWindowDestroyed() override { ++destroyed_calls; }
};

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { SetMonitorDpi(L"96"); }
  void TearDown() override {
    WPARAM ignored;
    while (TakeQuitMessage(&ignored)) {
    }
  }
};

TEST_F(Win32WindowTest, ClassLivesFromFirstOpenUntilTheLastWindowObjectGoes) {
  ASSERT_FALSE(ClassRegistered());
  {
    RecordingWindow first;
    RecordingWindow second;
    ASSERT_TRUE(first.OpenWindow(L"first", {10, 10}, {200, 100}));
    ASSERT_TRUE(second.OpenWindow(L"second", {20, 20}, {200, 100}));
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), kClassName, &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, &Win32Window::WindowProcedure);
    EXPECT_EQ(info.hCursor, ::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_NE(info.hIcon, nullptr);
    EXPECT_EQ(info.hbrBackground, nullptr);

    // Closing a window while another object lives keeps the class.
    first.CloseWindow();
    EXPECT_TRUE(ClassRegistered());
  }
  EXPECT_FALSE(ClassRegistered());

  RecordingWindow later;
  ASSERT_TRUE(later.OpenWindow(L"later", {10, 10}, {200, 100}));
  EXPECT_TRUE(ClassRegistered());
}

TEST_F(Win32WindowTest, OpensInvisibleWithTitleIconAndSizeScaledByTruncation) {
  struct {
    const wchar_t* dpi;
    Point origin;
    Size size;
    RECT expected;
  } const cases[] = {
      {L"96", {10, 10}, {1280, 720}, {10, 10, 1290, 730}},
      {L"120", {10, 10}, {390, 360}, {12, 12, 12 + 487, 12 + 450}},
      {L"120", {10, 10}, {1280, 720}, {12, 12, 12 + 1600, 12 + 900}},
      {L"144", {10, 10}, {390, 360}, {15, 15, 15 + 585, 15 + 540}},
  };
  for (const auto& c : cases) {
    SetMonitorDpi(c.dpi);
    RecordingWindow window;
    ASSERT_TRUE(window.OpenWindow(L"Orvane Widget", c.origin, c.size));
    HWND handle = window.window_handle();
    RECT frame;
    ::GetWindowRect(handle, &frame);
    EXPECT_EQ(frame.left, c.expected.left) << c.dpi;
    EXPECT_EQ(frame.top, c.expected.top) << c.dpi;
    EXPECT_EQ(frame.right, c.expected.right) << c.dpi;
    EXPECT_EQ(frame.bottom, c.expected.bottom) << c.dpi;
    EXPECT_FALSE(::IsWindowVisible(handle));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(handle, GWL_STYLE)) & WS_OVERLAPPEDWINDOW,
              static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    wchar_t title[64] = {};
    ::GetWindowTextW(handle, title, 64);
    EXPECT_EQ(std::wstring(title), L"Orvane Widget");
    EXPECT_NE(::SendMessageW(handle, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageW(handle, WM_GETICON, ICON_SMALL, 0), 0);

    EXPECT_FALSE(window.MakeVisible());
    EXPECT_TRUE(::IsWindowVisible(handle));
    EXPECT_TRUE(window.MakeVisible());
  }
}

TEST_F(Win32WindowTest, MessagesDuringCreationReachTheObject) {
  RecordingWindow window;
  ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {200, 100}));
  const auto& seen = window.messages;
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_CREATE)), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_NCCALCSIZE)), seen.end());
  // WM_SIZE without content does nothing but must not fail.
  EXPECT_EQ(::SendMessageW(window.window_handle(), WM_SIZE, 0, 0), 0);
}

TEST_F(Win32WindowTest, ContentFillsTheClientAreaAndTakesTheFocus) {
  RecordingWindow window;
  ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {300, 200}));
  HWND parent = window.window_handle();
  window.MakeVisible();
  HWND content = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, parent,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(content, nullptr);
  window.AttachContent(content);
  EXPECT_EQ(::GetParent(content), parent);
  EXPECT_EQ(::GetFocus(), content);

  auto expect_filled = [&](const char* when) {
    RECT client = window.ClientBounds();
    RECT child;
    ::GetWindowRect(content, &child);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&child), 2);
    EXPECT_EQ(child.left, client.left) << when;
    EXPECT_EQ(child.top, client.top) << when;
    EXPECT_EQ(child.right, client.right) << when;
    EXPECT_EQ(child.bottom, client.bottom) << when;
  };
  expect_filled("attached");
  ::SetWindowPos(parent, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  expect_filled("resized");

  ::SetFocus(parent);
  ::SendMessageW(parent, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(::GetFocus(), content);
}

TEST_F(Win32WindowTest, DpiChangeAppliesTheSuggestedRectangleUnchanged) {
  RecordingWindow window;
  ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {300, 200}));
  RECT suggested{33, 44, 33 + 451, 44 + 301};
  EXPECT_EQ(::SendMessageW(window.window_handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                           reinterpret_cast<LPARAM>(&suggested)),
            0);
  RECT frame;
  ::GetWindowRect(window.window_handle(), &frame);
  EXPECT_EQ(frame.left, 33);
  EXPECT_EQ(frame.top, 44);
  EXPECT_EQ(frame.right - frame.left, 451);
  EXPECT_EQ(frame.bottom - frame.top, 301);
}

TEST_F(Win32WindowTest, DestroyingTheWindowQuitsOnlyWithExitOnClose) {
  for (bool exit_on_close : {true, false}) {
    RecordingWindow window;
    ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {200, 100}));
    window.SetExitOnClose(exit_on_close);
    HWND handle = window.window_handle();
    ::DestroyWindow(handle);
    EXPECT_EQ(window.window_handle(), nullptr);
    EXPECT_GE(window.destroyed_calls, 1);
    WPARAM exit_code = 99;
    EXPECT_EQ(TakeQuitMessage(&exit_code), exit_on_close);
    if (exit_on_close) {
      EXPECT_EQ(exit_code, 0u);
    }
  }
}

TEST_F(Win32WindowTest, FailedCreationHookLeavesTheWindowToTheDestructor) {
  HWND handle = nullptr;
  {
    RecordingWindow window;
    window.created_result = false;
    EXPECT_FALSE(window.OpenWindow(L"t", {10, 10}, {200, 100}));
    handle = window.window_handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(::IsWindow(handle));
  }
  EXPECT_FALSE(::IsWindow(handle));
}

TEST_F(Win32WindowTest, OpeningAgainReplacesThePreviousWindow) {
  RecordingWindow window;
  ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {200, 100}));
  HWND first = window.window_handle();
  ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {200, 100}));
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_TRUE(::IsWindow(window.window_handle()));
}

// The frame follows the app theme through two system calls; record what they are asked.
struct ThemeCallLog {
  LSTATUS registry_status = ERROR_SUCCESS;
  DWORD registry_value = 0;
  int registry_reads = 0;
  std::vector<std::pair<HWND, BOOL>> dark_mode_calls;
};
ThemeCallLog* theme_log = nullptr;

LSTATUS WINAPI FakeRegGetValue(HKEY key, LPCWSTR sub_key, LPCWSTR value, DWORD flags, LPDWORD type,
                               PVOID data, LPDWORD data_size) {
  ++theme_log->registry_reads;
  EXPECT_EQ(key, HKEY_CURRENT_USER);
  EXPECT_EQ(std::wstring(sub_key),
            L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize");
  EXPECT_EQ(std::wstring(value), L"AppsUseLightTheme");
  EXPECT_EQ(flags, static_cast<DWORD>(RRF_RT_REG_DWORD));
  EXPECT_EQ(type, nullptr);
  EXPECT_EQ(*data_size, 4u);
  if (theme_log->registry_status == ERROR_SUCCESS) {
    *static_cast<DWORD*>(data) = theme_log->registry_value;
  }
  return theme_log->registry_status;
}

HRESULT WINAPI FakeSetWindowAttribute(HWND window, DWORD attribute, LPCVOID data, DWORD size) {
  EXPECT_EQ(attribute, 20u);
  EXPECT_EQ(size, 4u);
  theme_log->dark_mode_calls.emplace_back(window, *static_cast<const BOOL*>(data));
  return S_OK;
}

class SystemThemeTest : public Win32WindowTest {
 protected:
  void SetUp() override {
    Win32WindowTest::SetUp();
    saved_ = system_theme_calls();
    system_theme_calls() = {&FakeRegGetValue, &FakeSetWindowAttribute};
    theme_log = &log_;
  }
  void TearDown() override {
    system_theme_calls() = saved_;
    theme_log = nullptr;
    Win32WindowTest::TearDown();
  }
  ThemeCallLog log_;
  SystemThemeCalls saved_{};
};

TEST_F(SystemThemeTest, DarkFrameExactlyWhenAppsUseLightThemeIsZero) {
  struct {
    LSTATUS status;
    DWORD value;
    int calls;
    BOOL dark;
  } const cases[] = {
      {ERROR_SUCCESS, 0, 1, TRUE},           {ERROR_SUCCESS, 1, 1, FALSE},
      {ERROR_SUCCESS, 2, 1, FALSE},          {ERROR_FILE_NOT_FOUND, 0, 0, FALSE},
      {ERROR_UNSUPPORTED_TYPE, 0, 0, FALSE},
  };
  HWND window = reinterpret_cast<HWND>(0x1234);
  for (const auto& c : cases) {
    log_ = ThemeCallLog{};
    log_.registry_status = c.status;
    log_.registry_value = c.value;
    Win32Window::ApplySystemTheme(window);
    EXPECT_EQ(log_.registry_reads, 1);
    ASSERT_EQ(static_cast<int>(log_.dark_mode_calls.size()), c.calls) << c.status << " " << c.value;
    if (c.calls == 1) {
      EXPECT_EQ(log_.dark_mode_calls[0].first, window);
      EXPECT_EQ(log_.dark_mode_calls[0].second, c.dark) << c.value;
    }
  }
}

TEST_F(SystemThemeTest, AppliedToEachNewWindowAndOnEveryColourisationChange) {
  log_.registry_value = 0;
  RecordingWindow window;
  ASSERT_TRUE(window.OpenWindow(L"t", {10, 10}, {200, 100}));
  ASSERT_EQ(log_.dark_mode_calls.size(), 1u);
  EXPECT_EQ(log_.dark_mode_calls[0].first, window.window_handle());
  EXPECT_TRUE(log_.dark_mode_calls[0].second);

  log_.registry_value = 1;
  EXPECT_EQ(::SendMessageW(window.window_handle(), WM_DWMCOLORIZATIONCOLORCHANGED, 0, 0), 0);
  ASSERT_EQ(log_.dark_mode_calls.size(), 2u);
  EXPECT_FALSE(log_.dark_mode_calls[1].second);
}

}  // namespace
}  // namespace orvane
