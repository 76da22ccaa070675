// Runs the real orvane.exe under the stand-in engine and plug-in libraries and checks what they
// saw: the arguments, the window at its first frame, the plug-ins, message routing and teardown.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "runner/tests/host_process.h"

namespace orvane {
namespace {

const std::vector<std::string> kPluginsInOrder = {"AppLinksPluginCApi", "DesktopMultiWindowPlugin",
                                                  "UrlLauncherWindows"};

std::string PluginName(const std::string& value) { return value.substr(0, value.find(' ')); }

// Closes the window as the user would and expects a clean exit.
void CloseAndExpectExitZero(HostProcess& host) {
  HWND window = host.FindHostWindow();
  ASSERT_NE(window, nullptr);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(host.WaitForExit(), 0u);
}

TEST(OrvaneExe, NoArgumentsOpensTheFullWindowShownAtTheFirstFrame) {
  HostProcess host(L"", {});
  ASSERT_TRUE(host.started());
  ASSERT_TRUE(host.WaitForRecord("first-frame-done")) << host.StandardError();

  EXPECT_EQ(host.RecordValues("argument"), std::vector<std::string>{"--enable-impeller=true"});
  const std::vector<std::string> frame = host.RecordValues("first-frame");
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_EQ(frame[0], "title=Orvane rect=10,10,1280x720 visible=0 showcmd=1");
  const std::vector<std::string> shown = host.RecordValues("first-frame-done");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "title=Orvane rect=10,10,1280x720 visible=1 showcmd=1");

  // The view fills the client area and has the keyboard focus.
  HWND window = host.FindHostWindow();
  RECT client;
  ::GetClientRect(window, &client);
  const std::vector<std::string> created = host.RecordValues("view-controller-created");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0], std::to_string(client.right) + "x" + std::to_string(client.bottom));
  EXPECT_GE(IndexOf(host.Record(), "view-focused"), 0);

  std::vector<std::string> plugins;
  for (const std::string& value : host.RecordValues("plugin-registered")) {
    plugins.push_back(PluginName(value));
    EXPECT_NE(value.substr(value.find(' ') + 1), "0000000000000000") << value;
  }
  EXPECT_EQ(plugins, kPluginsInOrder);

  CloseAndExpectExitZero(host);
  // Closing registers nothing again.
  EXPECT_EQ(host.RecordValues("plugin-registered").size(), 3u);
}

TEST(OrvaneExe, TeardownReleasesTheEngineWhileTheWindowHandlesDestroyBeforeQuitting) {
  HostProcess host(L"", {});
  ASSERT_TRUE(host.WaitForRecord("first-frame-done"));
  CloseAndExpectExitZero(host);
  const std::vector<std::string> record = host.Record();
  const int destroy = IndexOf(record, "top-level-message WM_DESTROY");
  const int released = IndexOf(record, "view-controller-destroyed");
  ASSERT_GE(destroy, 0);
  ASSERT_GT(released, destroy);
  EXPECT_EQ(record[released].rfind("view-controller-destroyed top-level-alive=1 quit-posted=0 ", 0),
            0u)
      << record[released];
  EXPECT_EQ(host.RecordValues("view-controller-destroyed").size(), 1u);
}

TEST(OrvaneExe, ModeTitleAndOuterSizeFollowFlagsAndMonitorDpi) {
  struct {
    const wchar_t* arguments;
    const wchar_t* dpi;
    std::vector<std::string> received;
    std::string frame;
  } const cases[] = {
      {L"--WIDGET",
       L"96",
       {"--WIDGET", "--enable-impeller=true"},
       "title=Orvane rect=10,10,1280x720"},
      {L"--widget=value",
       L"96",
       {"--widget=value", "--enable-impeller=true"},
       "title=Orvane rect=10,10,1280x720"},
      {L"--widget",
       L"120",
       {"--widget", "--enable-impeller=true"},
       "title=Orvane Widget rect=12,12,487x450"},
      {L"", L"120", {"--enable-impeller=true"}, "title=Orvane rect=12,12,1600x900"},
      {L"x --widget \"two words\"",
       L"144",
       {"x", "--widget", "two words", "--enable-impeller=true"},
       "title=Orvane Widget rect=15,15,585x540"},
  };
  for (const auto& c : cases) {
    HostProcess host(c.arguments, {{L"ORVANE_STANDIN_DPI", c.dpi}});
    ASSERT_TRUE(host.WaitForRecord("first-frame-done")) << host.StandardError();
    EXPECT_EQ(host.RecordValues("argument"), c.received);
    const std::vector<std::string> frame = host.RecordValues("first-frame");
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0], c.frame + " visible=0 showcmd=1");
    CloseAndExpectExitZero(host);
  }
}

TEST(OrvaneExe, HiddenThenWidgetRunsTheWidgetWindowWithoutEverShowingIt) {
  HostProcess host(L"--hidden --widget", {});
  ASSERT_TRUE(host.WaitForRecord("first-frame-done"));
  EXPECT_EQ(host.RecordValues("argument"),
            (std::vector<std::string>{"--hidden", "--widget", "--enable-impeller=true"}));
  const std::vector<std::string> shown = host.RecordValues("first-frame-done");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "title=Orvane Widget rect=10,10,390x360 visible=0 showcmd=1");
  // The engine and the plug-ins run all the same.
  EXPECT_EQ(host.RecordValues("plugin-registered").size(), 3u);
  ::Sleep(300);
  EXPECT_FALSE(::IsWindowVisible(host.FindHostWindow()));
  CloseAndExpectExitZero(host);
}

TEST(OrvaneExe, AnArgumentThatIsNotValidUtf16ArrivesEmptyInItsPlace) {
  const std::wstring tail = std::wstring(L"first ") + wchar_t(0xD800) + L"x last";
  HostProcess host(tail, {});
  ASSERT_TRUE(host.WaitForRecord("first-frame-done"));
  EXPECT_EQ(host.RecordValues("argument"),
            (std::vector<std::string>{"first", "", "last", "--enable-impeller=true"}));
  CloseAndExpectExitZero(host);
}

TEST(OrvaneExe, ViewThatCannotBeCreatedEndsWithExitCodeOneAndNothingSetUp) {
  HostProcess host(L"--widget", {{L"ORVANE_STANDIN_FAIL_VIEW", L"1"}});
  EXPECT_EQ(host.WaitForExit(), 1u);
  std::string error = host.StandardError();
  error.erase(std::remove(error.begin(), error.end(), '\r'), error.end());
  EXPECT_EQ(error, "Failed to create view controller.\n");
  const std::vector<std::string> record = host.Record();
  EXPECT_LT(IndexOf(record, "plugin-registered"), 0);
  EXPECT_LT(IndexOf(record, "first-frame"), 0);
}

TEST(OrvaneExe, FontChangeReloadsFontsUnlessTheEngineConsumesIt) {
  for (bool consumed : {false, true}) {
    HostProcess::Settings settings;
    if (consumed) {
      settings.push_back({L"ORVANE_STANDIN_CONSUME", L"0x1D"});
    }
    HostProcess host(L"", settings);
    ASSERT_TRUE(host.WaitForRecord("first-frame-done"));
    ::SendMessageW(host.FindHostWindow(), WM_FONTCHANGE, 0, 0);
    const std::vector<std::string> record = host.Record();
    const int message = IndexOf(record, "top-level-message WM_FONTCHANGE");
    ASSERT_GE(message, 0);
    EXPECT_EQ(record[message], consumed ? "top-level-message WM_FONTCHANGE consumed"
                                        : "top-level-message WM_FONTCHANGE");
    CloseAndExpectExitZero(host);
    // The stand-in counts the reloads and reports them when the engine goes.
    const std::vector<std::string> released = host.RecordValues("view-controller-destroyed");
    ASSERT_EQ(released.size(), 1u);
    EXPECT_NE(released[0].find(consumed ? " font-reloads=0 " : " font-reloads=1 "),
              std::string::npos)
        << released[0];
  }
}

TEST(OrvaneExe, ASizeMessageTheEngineConsumesDoesNotResizeTheContent) {
  for (bool consumed : {false, true}) {
    HostProcess::Settings settings;
    if (consumed) {
      settings.push_back({L"ORVANE_STANDIN_CONSUME", L"5"});
    }
    HostProcess host(L"--widget", settings);
    ASSERT_TRUE(host.WaitForRecord("first-frame-done"));
    HWND window = host.FindHostWindow();
    HWND view = ::FindWindowExW(window, nullptr, L"ORVANE_STANDIN_VIEW", nullptr);
    ASSERT_NE(view, nullptr);
    RECT before;
    ::GetClientRect(view, &before);
    ::SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    ::GetClientRect(window, &client);
    RECT after;
    ::GetClientRect(view, &after);
    if (consumed) {
      EXPECT_EQ(after.right, before.right);
      EXPECT_EQ(after.bottom, before.bottom);
    } else {
      EXPECT_EQ(after.right, client.right);
      EXPECT_EQ(after.bottom, client.bottom);
    }
    CloseAndExpectExitZero(host);
  }
}

TEST(OrvaneExe, ExportsTheUrlFunctionsByName) {
  HostProcess host(L"", {});
  ASSERT_TRUE(host.WaitForRecord("exports "));
  EXPECT_EQ(host.RecordValues("exports"),
            std::vector<std::string>{
                "ov_get_url_for_hwnd=1 ov_request_url_for_hwnd=1 ov_get_cached_url=1"});
  CloseAndExpectExitZero(host);
}

// Wine's C runtime will not reopen the standard streams of a process that started without any
// (freopen refuses a stream with no descriptor), so only the console and the engine library's
// resync are checked here; the streams follow on Windows.
TEST(OpenDebugConsole, OpensAConsoleAndTellsTheEngineLibraryToResync) {
  wchar_t folder[MAX_PATH];
  wchar_t report[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"con", 0, report);
  wchar_t program[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path(program, length);
  path = path.substr(0, path.find_last_of(L"\\/")) + L"\\console_check.exe";
  std::wstring command = L"\"" + path + L"\" " + report;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  // Without a console of its own, as under a debugger started from the desktop.
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                               nullptr, nullptr, &startup, &info));
  ASSERT_EQ(::WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  std::string text(256, '\0');
  FILE* file = nullptr;
  ASSERT_EQ(_wfopen_s(&file, report, L"rb"), 0);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  ::DeleteFileW(report);
  EXPECT_EQ(text, "console=1 resyncs=1");
}

}  // namespace
}  // namespace orvane
