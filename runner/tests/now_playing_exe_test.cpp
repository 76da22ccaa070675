// Runs the real orvane.exe with the stand-in engine against the media-session stand-in registered
// in the prefix, and follows the stand-in UI's now-playing calls in its record: "start", then
// "getCurrent" without and with "since" while a scripted track plays and after it has gone.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "testing/media_session/media_session.h"

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
  ::GetTempFileNameW(folder, L"ovn", 0, path);
  return path;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::wstring& path, const std::string& text) {
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << text;
}

std::string Utf8(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += static_cast<char>(c);  // the test's paths are ASCII
  return out;
}

// As the stand-in UI records byte lists (host_now_playing.h).
std::string Fingerprint(const std::string& bytes) {
  uint32_t hash = 2166136261u;
  for (char byte : bytes) hash = (hash ^ static_cast<uint8_t>(byte)) * 16777619u;
  char text[16];
  std::snprintf(text, sizeof(text), "%08x", hash);
  return std::to_string(bytes.size()) + ":" + text;
}

// The stand-in's classes, registered in the prefix's machine registry with the copy beside this
// test as their library.
bool RegisterMediaSession() {
  const HMODULE module = ::LoadLibraryW((TestFolder() + L"\\media_session.dll").c_str());
  const auto register_classes = reinterpret_cast<MediaSessionRegisterFn>(
      reinterpret_cast<void*>(::GetProcAddress(module, "media_session_register")));
  const bool registered = register_classes != nullptr && register_classes() == ERROR_SUCCESS;
  ::FreeLibrary(module);
  return registered;
}

class NowPlayingExe : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterMediaSession());
    ::SetEnvironmentVariableW(L"ORVANE_MEDIA_SESSION_SCRIPT", script_.c_str());
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_RECORD", record_.c_str());
    ::SetEnvironmentVariableW(L"ORVANE_STANDIN_CALL_EXPORTS", L"0");
  }
  void TearDown() override {
    if (process_ != nullptr) {
      ::TerminateProcess(process_, 99);  // fails harmlessly once the process has ended
      ::WaitForSingleObject(process_, 5000);
      ::CloseHandle(process_);
    }
    ::DeleteFileW(record_.c_str());
    ::DeleteFileW(script_.c_str());
  }

  void Start() {
    std::wstring command = L"\"" + TestFolder() + L"\\orvane.exe\" --hidden";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                 nullptr, TestFolder().c_str(), &startup, &info));
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
  }

  // The answers recorded so far, "since=<since> <answer>" each.
  Lines Answers() const {
    std::istringstream record(ReadFile(record_));
    const std::string prefix = "now-playing getCurrent ";
    Lines answers;
    for (std::string line; std::getline(record, line);) {
      if (line.rfind(prefix, 0) == 0) answers.push_back(line.substr(prefix.size()));
    }
    return answers;
  }
  std::string Record() const { return ReadFile(record_); }

  // Polls the record until `done` holds for the answers (the UI asks about once a second).
  bool WaitFor(const std::function<bool(const Lines&)>& done) const {
    for (int tries = 0; tries < 600; ++tries, ::Sleep(50)) {
      if (done(Answers())) return true;
    }
    return false;
  }

  const std::wstring script_ = TempFile();
  const std::wstring record_ = TempFile();
  HANDLE process_ = nullptr;
};

// The process's top-level window.
HWND WindowOf(HANDLE process) {
  HWND window = nullptr;
  DWORD owner = 0;
  do {
    window = ::FindWindowExW(nullptr, window, L"FLUTTER_RUNNER_WIN32_WINDOW", nullptr);
    ::GetWindowThreadProcessId(window, &owner);
  } while (window != nullptr && owner != ::GetProcessId(process));
  return window;
}

TEST_F(NowPlayingExe, ServesTheScriptedTrackThenMarksItsEndOnce) {
  const std::wstring cover = TestFolder() + L"\\cover.png";
  const std::string cover_bytes = ReadFile(cover);
  ASSERT_FALSE(cover_bytes.empty());
  WriteFile(script_,
            "title=Night Drive\nartist=The Examples\nalbum=Test Pressing\n"
            "app_id=Spotify.exe\nstatus=playing\nthumbnail=" +
                Utf8(cover) + "\n");
  const std::string signature =
      "Night Drive|The Examples|Test Pressing|spotify|1|" + std::to_string(cover_bytes.size());
  const std::string track =
      "{album=Test Pressing artist=The Examples artwork=" + Fingerprint(cover_bytes) +
      " isPlaying=true signature=" + signature + " source=spotify title=Night Drive}";
  // Each answer as a letter: no "since" yet and nothing known (a) or the track (T); the track's
  // signature sent back and nothing new (u) or the empty marker (E); the marker's empty signature
  // sent back and nothing new (n).
  const auto letters = [&](const Lines& answers) {
    std::string out;
    for (const std::string& answer : answers) {
      out += answer == "since=- null"                                      ? 'a'
             : answer == "since=- " + track                                ? 'T'
             : answer == "since=" + signature + " null"                    ? 'u'
             : answer == "since=" + signature + " {empty=true signature=}" ? 'E'
             : answer == "since= null"                                     ? 'n'
                                                                           : '?';
    }
    return out;
  };
  Start();
  ASSERT_TRUE(WaitFor([&](const Lines& answers) {
    return letters(answers).find('u') != std::string::npos;
  })) << Record();
  WriteFile(script_, "session=none\n");
  ASSERT_TRUE(WaitFor([&](const Lines& answers) {
    return letters(answers).find("nn") != std::string::npos;
  })) << Record();

  // Nothing or the track first, unchanged until it goes, the marker once, then nothing new.
  EXPECT_TRUE(std::regex_match(letters(Answers()), std::regex("a*Tu+En+"))) << Record();
  const std::string record = "\n" + Record();
  EXPECT_NE(record.find("\nnow-playing start true\n"), std::string::npos);
  // The UI decoded the artwork it received as the picture it is.
  EXPECT_NE(record.find("\nnow-playing cover 256x256\n"), std::string::npos);

  // Closing stops the poller with the window; the process ends normally.
  ::PostMessageW(WindowOf(process_), WM_CLOSE, 0, 0);
  DWORD code = STILL_ACTIVE;
  ASSERT_EQ(::WaitForSingleObject(process_, 20000), WAIT_OBJECT_0);
  ::GetExitCodeProcess(process_, &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace orvane
