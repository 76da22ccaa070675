// Runs the real orvane.exe beside the stand-in engine and plug-in libraries and checks what they
// saw: the arguments, the window at its first frame, the plug-ins, message routing and teardown.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace orvane {
namespace {

using Lines = std::vector<std::string>;

std::wstring TestFolder() {
  wchar_t path[MAX_PATH];
  const std::wstring program(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return program.substr(0, program.find_last_of(L"\\/"));
}

std::wstring TempFile() {
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"ovt", 0, path);
  return path;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Starts `program` from the test's folder; with `output`, its standard output and error go there.
HANDLE Start(const std::wstring& program, const std::wstring& tail, DWORD flags, HANDLE output) {
  std::wstring command = L"\"" + TestFolder() + L"\\" + program + L"\" " + tail;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr, flags,
                        nullptr, TestFolder().c_str(), &startup, &info)) {
    return nullptr;
  }
  ::CloseHandle(info.hThread);
  return info.hProcess;
}

// The exit code, or STILL_ACTIVE when the process is still running after 20 s.
DWORD ExitCode(HANDLE process) {
  DWORD code = STILL_ACTIVE;
  if (process != nullptr && ::WaitForSingleObject(process, 20000) == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(process, &code);
  }
  return code;
}

// Index of the first line starting with `prefix`, or -1.
int IndexOf(const Lines& lines, const std::string& prefix) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].compare(0, prefix.size(), prefix) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// orvane.exe under the stand-in engine with the given ORVANE_STANDIN_* settings (see
// testing/engine/host_standin.h); reads the stand-in's record and the standard error.
class Host {
 public:
  Host(const std::wstring& tail,
       const std::vector<std::pair<const wchar_t*, std::wstring>>& settings) {
    // The child inherits this process's environment: exactly the requested settings, and the URL
    // functions found but not called.
    for (const wchar_t* name :
         {L"ORVANE_STANDIN_DPI", L"ORVANE_STANDIN_FAIL_VIEW", L"ORVANE_STANDIN_CONSUME"}) {
      ::SetEnvironmentVariableW(name, nullptr);
    }
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_CALL_EXPORTS", L"0");
    for (const auto& setting : settings) {
      ::SetEnvironmentVariableW(setting.first, setting.second.c_str());
    }
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_RECORD", record_.c_str());
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE error = ::CreateFileW(errors_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    process_ = Start(L"orvane.exe", tail, 0, error);
    ::CloseHandle(error);
  }
  ~Host() {
    if (process_ != nullptr) {
      ::TerminateProcess(process_, 99);  // fails harmlessly once the process has ended
      ::WaitForSingleObject(process_, 5000);
      ::CloseHandle(process_);
    }
    ::DeleteFileW(record_.c_str());
    ::DeleteFileW(errors_.c_str());
  }

  Lines Record() const {
    Lines lines;
    std::istringstream text(ReadFile(record_));
    for (std::string line; std::getline(text, line);) {
      lines.push_back(line);
    }
    return lines;
  }
  // The record lines "<prefix> <value>", as values.
  Lines Values(const std::string& prefix) const {
    Lines values;
    for (const std::string& line : Record()) {
      if (line.compare(0, prefix.size() + 1, prefix + " ") == 0) {
        values.push_back(line.substr(prefix.size() + 1));
      }
    }
    return values;
  }
  bool WaitFor(const std::string& prefix) const {
    for (int tries = 0; tries < 1000; ++tries, ::Sleep(20)) {
      if (IndexOf(Record(), prefix) >= 0) {
        return true;
      }
    }
    return false;
  }
  // The process's top-level window (test programs make windows of the same class).
  HWND Window() const {
    std::pair<DWORD, HWND> search{::GetProcessId(process_), nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(data);
          DWORD owner = 0;
          wchar_t name[64] = {};
          ::GetWindowThreadProcessId(window, &owner);
          ::GetClassNameW(window, name, 64);
          if (owner != search->first || std::wstring(name) != L"FLUTTER_RUNNER_WIN32_WINDOW") {
            return TRUE;
          }
          search->second = window;
          return FALSE;
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

constexpr char kImpeller[] = "--enable-impeller=true";
constexpr char kRegistrars[] =
    "registrars=AppLinksPluginCApi,DesktopMultiWindowPlugin,UrlLauncherWindows";

TEST(OrvaneExe, RunsTheWindowTheCommandLineAsksForAndTearsItDownInOrder) {
  const struct {
    std::wstring tail;
    const wchar_t* dpi;
    std::string consumed;  // the top-level message the stand-in engine consumes, if any
    Lines received;
    std::string window;  // title and outer rectangle
    bool shown;
  } launches[] = {
      {L"", L"96", "", {kImpeller}, "title=Orvane rect=10,10,1280x720", true},
      {L"--hidden --widget",
       L"120",
       "WM_FONTCHANGE",
       {"--hidden", "--widget", kImpeller},
       "title=Orvane Widget rect=12,12,487x450",
       false},
      {std::wstring(L"--WIDGET \"two words\" ") + wchar_t(0xD800) + L"x --widget=value",
       L"144",
       "WM_SIZE",
       {"--WIDGET", "two words", "", "--widget=value", kImpeller},
       "title=Orvane rect=15,15,1920x1080",
       true},
  };
  for (const auto& c : launches) {
    SCOPED_TRACE(c.window);
    std::vector<std::pair<const wchar_t*, std::wstring>> settings{{L"ORVANE_STANDIN_DPI", c.dpi}};
    if (!c.consumed.empty()) {
      const UINT message = c.consumed == "WM_SIZE" ? WM_SIZE : WM_FONTCHANGE;
      settings.push_back({L"ORVANE_STANDIN_CONSUME", std::to_wstring(message)});
    }
    Host host(c.tail, settings);
    // The stand-in UI looks for the exports once its first frame is done.
    ASSERT_TRUE(host.WaitFor("exports ")) << host.Errors();
    EXPECT_EQ(host.Values("exports"),
              Lines{"ov_get_url_for_hwnd=1 ov_request_url_for_hwnd=1 ov_get_cached_url=1"});
    EXPECT_EQ(host.Values("argument"), c.received);
    EXPECT_EQ(host.Values("first-frame"), Lines{c.window + " visible=0 showcmd=1"});
    EXPECT_EQ(host.Values("first-frame-done"),
              Lines{c.window + " visible=" + (c.shown ? "1" : "0") + " showcmd=1"});
    Lines plugins;
    for (const std::string& value : host.Values("plugin-registered")) {
      plugins.push_back(value.substr(0, value.find(' ')));
      EXPECT_NE(value.substr(value.find(' ') + 1), "0000000000000000") << value;
    }
    EXPECT_EQ(plugins,
              (Lines{"AppLinksPluginCApi", "DesktopMultiWindowPlugin", "UrlLauncherWindows"}));

    // The view fills the client area and has the focus; it follows resizes the engine leaves.
    HWND window = host.Window();
    HWND view = ::FindWindowExW(window, nullptr, L"ORVANE_STANDIN_VIEW", nullptr);
    RECT client;
    RECT before;
    RECT after;
    ::GetClientRect(window, &client);
    ::GetClientRect(view, &before);
    EXPECT_EQ(host.Values("view-controller-created"),
              Lines{std::to_string(client.right) + "x" + std::to_string(client.bottom)});
    EXPECT_GE(IndexOf(host.Record(), "view-focused"), 0);
    ::SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(window, WM_FONTCHANGE, 0, 0);
    ::GetClientRect(window, &client);
    ::GetClientRect(view, &after);
    const RECT& expected = c.consumed == "WM_SIZE" ? before : client;
    EXPECT_EQ(after.right, expected.right);
    EXPECT_EQ(after.bottom, expected.bottom);
    for (const char* name : {"WM_SIZE", "WM_FONTCHANGE"}) {
      const std::string line =
          std::string("top-level-message ") + name + (c.consumed == name ? " consumed" : "");
      EXPECT_GE(IndexOf(host.Record(), line), 0) << line;
    }
    EXPECT_EQ(::IsWindowVisible(window) != FALSE, c.shown);

    // Closing ends the process with 0; the engine goes while the window handles WM_DESTROY,
    // before the quit message.
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(host.Exit(), 0u);
    const Lines record = host.Record();
    const int destroy = IndexOf(record, "top-level-message WM_DESTROY");
    EXPECT_GE(destroy, 0);
    EXPECT_GT(IndexOf(record, "view-controller-destroyed"), destroy);
    const std::string reloads = c.consumed == "WM_FONTCHANGE" ? "0" : "1";
    EXPECT_EQ(host.Values("view-controller-destroyed"),
              Lines{"top-level-alive=1 quit-posted=0 font-reloads=" + reloads + " " + kRegistrars});
  }
}

TEST(OrvaneExe, AViewThatCannotBeCreatedEndsWithExitCodeOneAndNothingSetUp) {
  Host host(L"--widget", {{L"ORVANE_STANDIN_FAIL_VIEW", L"1"}});
  EXPECT_EQ(host.Exit(), 1u);
  EXPECT_EQ(host.Errors(), "Failed to create view controller.\n");
  const Lines record = host.Record();
  EXPECT_LT(IndexOf(record, "plugin-registered"), 0);
  EXPECT_LT(IndexOf(record, "first-frame"), 0);
}

// Wine's C runtime will not reopen the standard streams of a process that started without any,
// so only the console and the engine library's resync are checked; the streams follow on Windows.
TEST(OpenDebugConsole, OpensAConsoleAndTellsTheEngineLibraryToResync) {
  const std::wstring report = TempFile();
  // Without a console of its own, as under a debugger started from the desktop.
  HANDLE process = Start(L"console_check.exe", report, DETACHED_PROCESS, nullptr);
  EXPECT_EQ(ExitCode(process), 0u);
  ::CloseHandle(process);
  EXPECT_EQ(ReadFile(report), "console=1 resyncs=1");
  ::DeleteFileW(report.c_str());
}

// The resources orvane.exe carries: icon 101, the application manifest and the version record.
TEST(OrvaneExe, CarriesItsIconManifestAndVersionRecord) {
  const std::wstring path = TestFolder() + L"\\orvane.exe";
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  auto resource = [module](const wchar_t* type, WORD id) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
      return std::string();
    }
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    return std::string(data, ::SizeofResource(module, found));
  };
  // A group header, then 14 bytes for each of seven square 32-bit images.
  const std::string group = resource(RT_GROUP_ICON, 101);
  ASSERT_EQ(group.size(), 6u + 14u * 7u);
  EXPECT_EQ(group[4], 7);
  std::vector<int> sizes;
  for (size_t entry = 6; entry < group.size(); entry += 14) {
    EXPECT_EQ(group[entry], group[entry + 1]);
    EXPECT_EQ(group[entry + 6], 32);
    sizes.push_back(group[entry] == 0 ? 256 : static_cast<uint8_t>(group[entry]));
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));
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
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 1u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 1u);
  for (const auto& [name, text] :
       {std::pair{L"FileDescription", L"Orvane"}, std::pair{L"FileVersion", L"1.0.0+1"},
        std::pair{L"ProductVersion", L"1.0.0+1"}}) {
    const auto* value = static_cast<const wchar_t*>(
        query((std::wstring(L"\\StringFileInfo\\040904b0\\") + name).c_str()));
    EXPECT_EQ(std::wstring(value ? value : L"(missing)"), text) << name;
  }
}

}  // namespace
}  // namespace orvane
