// Runs the real orvane.exe beside the stand-in engine and plug-in libraries and checks what they
// saw: the arguments, the window at its first frame, the plug-ins, message routing and teardown.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "runner/tests/exe_host.h"

namespace orvane {
namespace {

// The engine goes once, as the window handles WM_DESTROY (still alive, no quit posted yet), and
// COM once, after it.
void ExpectTornDownInOrder(const Host& host, const std::string& font_reloads) {
  std::istringstream record(host.Record());
  Lines teardown;
  for (std::string line; std::getline(record, line);) {
    if (line == "top-level-message WM_DESTROY" || line == "com-uninitialized" ||
        line.rfind("view-controller-destroyed ", 0) == 0) {
      teardown.push_back(line);
    }
  }
  const std::string engine_gone =
      "view-controller-destroyed top-level-alive=1 quit-posted=0 font-reloads=" + font_reloads +
      " registrars=AppLinksPluginCApi,DesktopMultiWindowPlugin,UrlLauncherWindows";
  EXPECT_EQ(teardown, (Lines{"top-level-message WM_DESTROY", engine_gone, "com-uninitialized"}));
}

TEST(OrvaneExe, RunsTheWindowTheCommandLineAsksForAndTearsItDownInOrder) {
  const struct {
    std::wstring tail;
    const wchar_t* dpi;
    bool fonts_consumed;   // the stand-in engine consumes WM_FONTCHANGE
    const char* received;  // the arguments before the engine's, each followed by "|"
    std::string window;    // title and outer rectangle
    bool shown;
  } launches[] = {
      {L"", L"96", false, "", "title=Orvane rect=10,10,1280x720", true},
      {L"--hidden --widget", L"120", true, "--hidden|--widget|",
       "title=Orvane Widget rect=12,12,487x450", false},
      // Flags count only as whole exact arguments. Arguments go to UTF-8 as they are, one with an
      // unpaired surrogate as an empty one.
      {std::wstring(
           L"--WIDGET --Hidden --widge \" --hidden\" --hidden=1 \"caf\u00e9 \U0001F600\" \"\" ") +
           wchar_t(0xD800) + L"x --widget=value",
       L"144", false,
       "--WIDGET|--Hidden|--widge| --hidden|--hidden=1|caf\xc3\xa9 "
       "\xf0\x9f\x98\x80|||--widget=value|",
       "title=Orvane rect=15,15,1920x1080", true},
  };
  for (const auto& c : launches) {
    SCOPED_TRACE(c.window);
    Host host(c.tail, c.dpi, c.fonts_consumed ? WM_FONTCHANGE : 0);
    // The stand-in UI looks for the exports once its first frame is done.
    ASSERT_TRUE(WaitUntil([&] { return !host.Values("exports").empty(); }))
        << host.Errors() << host.Record();
    EXPECT_EQ(host.Values("exports"),
              Lines{"ov_get_url_for_hwnd=1 ov_request_url_for_hwnd=1 ov_get_cached_url=1"});
    std::string received;
    for (const std::string& argument : host.Values("argument")) received += argument + "|";
    EXPECT_EQ(received, c.received + std::string("--enable-impeller=true|"));
    EXPECT_EQ(host.Values("first-frame"), Lines{c.window + " visible=0 showcmd=1"});
    EXPECT_EQ(host.Values("first-frame-done"),
              Lines{c.window + " visible=" + (c.shown ? "1" : "0") + " showcmd=1"});
    // Each plug-in registers once, in order, with a registrar.
    Lines plugins = host.Values("plugin-registered");
    for (std::string& plugin : plugins) plugin.resize(plugin.find(' '));
    EXPECT_EQ(plugins,
              (Lines{"AppLinksPluginCApi", "DesktopMultiWindowPlugin", "UrlLauncherWindows"}));
    EXPECT_EQ(host.Record().find(" 0000000000000000"), std::string::npos);

    // The view fills the client area and has the focus.
    HWND window = host.Window();
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(host.Values("view-controller-created"),
              Lines{std::to_string(client.right) + "x" + std::to_string(client.bottom)});
    EXPECT_NE(host.Record().find("\nview-focused"), std::string::npos);
    // A font change reloads the fonts, unless the engine consumes the message.
    ::SendMessageW(window, WM_FONTCHANGE, 0, 0);

    // Closing ends the process with 0.
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.Exit(), 0u);
    ExpectTornDownInOrder(host, c.fonts_consumed ? "0" : "1");
  }
}

// A quit that did not come from closing the window (the UI asking the application to exit) still
// destroys the window first, so the teardown is the same.
TEST(OrvaneExe, AQuitFromTheEngineTearsDownAsClosingDoes) {
  Host host(L"", L"96", 0, L"", /*engine_quits=*/true);
  EXPECT_EQ(host.Exit(), 0u);
  ExpectTornDownInOrder(host, "0");
}

// Either failure ends with exit code 1 before anything is set up; only the view's is reported.
TEST(OrvaneExe, AWindowOrViewThatCannotBeCreatedEndsWithExitCodeOneAndNothingSetUp) {
  for (const auto& [fails, errors] :
       {std::pair<std::wstring, std::string>{L"VIEW", "Failed to create view controller.\n"},
        {L"WINDOW", ""}}) {
    Host host(L"--widget", L"96", 0, fails);
    EXPECT_EQ(host.Exit(), 1u);
    EXPECT_EQ(host.Errors(), errors);
    EXPECT_TRUE(host.Values("plugin-registered").empty());
  }
}

// Started without a console, as under a debugger started from the desktop. Wine's C runtime will
// not reopen the standard streams of a process that started without any, so only the console and
// the engine library's resync are checked; the streams follow on Windows. A process that already
// has a console cannot open another: the helper then leaves the streams alone.
TEST(OpenDebugConsole, OpensAConsoleAndTellsTheEngineLibraryToResync) {
  for (const auto& [console_first, expected] :
       {std::pair<const wchar_t*, const char*>{nullptr, "console=1 resyncs=1"},
        {L"1", "console=1 resyncs=0"}}) {
    const std::wstring report = TempFile();
    ::SetEnvironmentVariableW(L"ORVANE_CONSOLE_FIRST", console_first);
    HANDLE process = Start(L"console_check.exe", report, nullptr);
    EXPECT_EQ(ExitCode(process), 0u);
    ::CloseHandle(process);
    EXPECT_EQ(ReadFile(report), expected);
    ::DeleteFileW(report.c_str());
  }
}

// The resources orvane.exe carries: icon 101, the application manifest and the version record.
TEST(OrvaneExe, CarriesItsIconManifestAndVersionRecord) {
  const std::wstring path = testing::ProgramFolder() + L"orvane.exe";
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  auto resource = [module](const wchar_t* type, WORD id) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return std::string();
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    return std::string(data, ::SizeofResource(module, found));
  };
  // A group header, then 14 bytes for each image: width, height (0 for 256), ..., bits per pixel.
  const std::string group = resource(RT_GROUP_ICON, 101);
  std::string images;
  for (size_t entry = 6; entry + 14 <= group.size(); entry += 14) {
    images += std::to_string(uint8_t(group[entry])) + "x" +
              std::to_string(uint8_t(group[entry + 1])) + "@" + std::to_string(group[entry + 6]) +
              " ";
  }
  EXPECT_EQ(images, "16x16@32 24x24@32 32x32@32 48x48@32 64x64@32 128x128@32 0x0@32 ");
  const std::string manifest = resource(RT_MANIFEST, 1);
  for (const char* expected : {"level=\"asInvoker\"", "uiAccess=\"false\"", ">PerMonitorV2<",
                               "Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""}) {
    EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
  }
  ::FreeLibrary(module);

  std::vector<char> info(::GetFileVersionInfoSizeW(path.c_str(), nullptr));
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  auto query = [&info](const wchar_t* key) {
    void* value = nullptr;
    UINT length = 0;
    return ::VerQueryValueW(info.data(), key, &value, &length) ? value : nullptr;
  };
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
  ASSERT_NE(fixed, nullptr);
  const DWORD v[] = {ORVANE_PROJECT_VERSION};  // major, minor, patch, build
  EXPECT_EQ(
      std::tie(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
               fixed->dwProductVersionLS),
      std::make_tuple(v[0] << 16 | v[1], v[2] << 16 | v[3], v[0] << 16 | v[1], v[2] << 16 | v[3]));
  const std::wstring text = std::to_wstring(v[0]) + L"." + std::to_wstring(v[1]) + L"." +
                            std::to_wstring(v[2]) + L"+" + std::to_wstring(v[3]);
  for (const auto& [name, expected] :
       {std::pair{L"FileDescription", std::wstring(L"Orvane")}, std::pair{L"FileVersion", text},
        std::pair{L"ProductVersion", text}}) {
    const auto* value = static_cast<const wchar_t*>(
        query((std::wstring(L"\\StringFileInfo\\040904b0\\") + name).c_str()));
    EXPECT_EQ(std::wstring(value ? value : L"(missing)"), expected) << name;
  }
}

}  // namespace
}  // namespace orvane
