// Runs the real orvane.exe with the stand-in engine against the media-session stand-in registered
// in the prefix, and follows the stand-in UI's now-playing calls in its record: "start", then
// "getCurrent" without and with "since" while a scripted track plays and after it has gone; and
// closes the window while a media call never completes. Either way the stand-in's report must
// show nothing left alive or rejected once the host has left COM.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <string>

#include "runner/tests/exe_host.h"
#include "testing/engine/fingerprint.h"
#include "testing/standin_library.h"

namespace orvane {
namespace {

void WriteFile(const std::wstring& path, const std::string& text) {
  std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << text;
}

// The media-session stand-in: its classes registered in the prefix's machine registry with the
// copy beside this test as their library, and its script and report files handed to the host
// through its environment.
struct MediaSession {
  MediaSession() {
    EXPECT_TRUE(testing::StandinLibrary(L"media_session.dll").registered());
    ::SetEnvironmentVariableW(L"ORVANE_MEDIA_SESSION_SCRIPT", script.c_str());
    ::SetEnvironmentVariableW(L"ORVANE_MEDIA_SESSION_REPORT", report.c_str());
  }
  ~MediaSession() {
    ::DeleteFileW(script.c_str());
    ::DeleteFileW(report.c_str());
  }
  // A playing track with the demo's cover, then `more` lines.
  void Play(const std::string& more = "") const {
    WriteFile(script,
              "title=Night Drive\nartist=The Examples\nalbum=Test Pressing\n"
              "app_id=Spotify.exe\nstatus=playing\nthumbnail=" +
                  std::string(cover.begin(), cover.end()) + "\n" + more);  // ASCII path
  }
  // What the stand-in had when the host left COM: nothing alive, nothing rejected, and the
  // poller's apartment left.
  void ExpectCleanExit(int cancels) const {
    const std::string text = ReadFile(report);
    EXPECT_EQ(text.substr(text.rfind("counts ")),
              "counts live=0 over_released=0 used_after_release=0 unexpected_calls=0 "
              "live_strings=0 live_events=0 cancels=" +
                  std::to_string(cancels) + " mta_left=1\n");
  }

  const std::wstring cover = testing::ProgramFolder() + L"cover.png";
  const std::wstring script = TempFile();
  const std::wstring report = TempFile();
};

TEST(NowPlayingExe, ServesTheScriptedTrackThenMarksItsEndOnce) {
  const MediaSession media;
  const std::string cover_bytes = ReadFile(media.cover);
  ASSERT_FALSE(cover_bytes.empty());
  media.Play();
  const std::string signature =
      "Night Drive|The Examples|Test Pressing|spotify|1|" + std::to_string(cover_bytes.size());
  const std::string track = "{album=Test Pressing artist=The Examples artwork=" +
                            orvane_standin::Fingerprint(cover_bytes) +
                            " isPlaying=true signature=" + signature +
                            " source=spotify title=Night Drive}";
  // Each answer as a letter: no "since" yet and nothing known (a) or the track (T); the track's
  // signature sent back and nothing new (u) or the empty marker (E); the marker's empty signature
  // sent back and nothing new (n).
  Host host(L"--hidden", L"96");
  const auto letters = [&] {
    std::string out;
    for (const std::string& answer : host.Values("now-playing getCurrent")) {
      out += answer == "since=- null"                                      ? 'a'
             : answer == "since=- " + track                                ? 'T'
             : answer == "since=" + signature + " null"                    ? 'u'
             : answer == "since=" + signature + " {empty=true signature=}" ? 'E'
             : answer == "since= null"                                     ? 'n'
                                                                           : '?';
    }
    return out;
  };
  ASSERT_TRUE(WaitUntil([&] { return letters().find('u') != std::string::npos; })) << host.Record();
  WriteFile(media.script, "session=none\n");
  ASSERT_TRUE(WaitUntil([&] { return letters().find("nn") != std::string::npos; }))
      << host.Record();

  // Nothing or the track first, unchanged until it goes, the marker once, then nothing new.
  EXPECT_TRUE(std::regex_match(letters(), std::regex("a*Tu+En+"))) << host.Record();

  // Closing stops the poller with the window; the process ends normally (and the host checks
  // that every answer went back through a live handle, under the messenger lock).
  ::PostMessageW(host.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(host.Exit(), 0u);
  media.ExpectCleanExit(0);
}

// Closing while a media call never completes: the poller gives it up (cancelled once) and the
// process ends as usual; the call completes late, as cancelled, and leaves nothing behind.
class NowPlayingExeStuck : public ::testing::TestWithParam<const char*> {};

TEST_P(NowPlayingExeStuck, ClosingCancelsTheCall) {
  const MediaSession media;
  media.Play(std::string("never=") + GetParam() + "\n");
  Host host(L"--hidden", L"96");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(media.report) == "stuck\n"; })) << host.Record();
  ::PostMessageW(host.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(host.Exit(), 0u);
  media.ExpectCleanExit(1);
}

INSTANTIATE_TEST_SUITE_P(EachAwait, NowPlayingExeStuck,
                         ::testing::Values("RequestAsync", "TryGetMediaPropertiesAsync",
                                           "OpenReadAsync", "ReadAsync"));

}  // namespace
}  // namespace orvane
