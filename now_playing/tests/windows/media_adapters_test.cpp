// The Runtime layer and the media-session and stream adapters against the stand-in's Runtime
// classes, read the way the poller reads them (ReadMediaSnapshot), with the stand-in's operations
// completing in each way and its calls failing in turn.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "now_playing/media_snapshot.h"
#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/stream_adapter.h"
#include "testing/media_session/load.h"
#include "testing/now_playing_ports/fake_ports.h"

namespace orvane::now_playing::testing {
namespace {

// The media-session stand-in (testing/media_session), loaded from beside the test program and
// registered in the prefix once per program; its verdict checked after every test.
class MediaStandin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // as the poller thread does
  }
  static const orvane::testing::MediaSessionStandin& Standin() {
    static const orvane::testing::MediaSessionStandin standin;
    return standin;
  }
  void SetUp() override {
    ASSERT_TRUE(Standin().Loaded());
    live_ = Standin().Live();
  }
  void TearDown() override { ExpectClean(); }
  // Checked while COM is still initialised.
  void ExpectClean() const { EXPECT_EQ(Standin().Verdict(live_), ""); }

 private:
  LONG live_ = 0;
};

constexpr uint32_t kLargeArtwork = 300 * 1024;

std::vector<BYTE> Pattern(size_t count) {
  std::vector<BYTE> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>((i * 7919) >> 3);
  return bytes;
}

// A playing track whose thumbnail is the first 3 of `thumbnail`.
MediaSessionScript Playing(const std::vector<BYTE>& thumbnail) {
  MediaSessionScript script = {};
  script.has_session = script.has_playback_info = 1;
  script.title = L"Song";
  script.artist = L"Band";
  script.album = L"Album";
  script.app_id = L"Spotify.exe";
  script.playback_status = 4;
  script.has_thumbnail = 1;
  script.thumbnail = thumbnail.data();
  script.thumbnail_length = 3;
  return script;
}

// One pass's reading through the adapters.
std::optional<MediaSnapshot> Read() {
  Ledger ledger;
  NowPlayingPorts ports{nullptr, windows::MakeMediaPlatform(), windows::MakeStreamPlatform(),
                        std::make_unique<FakeWindows>(ledger)};
  return ReadMediaSnapshot(ports);
}

struct ReadingCase {
  const char* name;
  std::function<void(MediaSessionScript&)> change;
  const char* signature;  // "" when the reading is empty
  uint32_t artwork;       // bytes expected, the leading ones of the thumbnail
};

const ReadingCase kReadingCases[] = {
    {"AllAtOnceReadReturningNoBuffer", [](auto& s) { s.read_returns_no_buffer = 1; },
     "Song|Band|Album|spotify|1|3", 3},
    {"NullTextsPlaybackInfoAndThumbnail",
     [](auto& s) {
       s.title = s.album = nullptr;
       s.has_playback_info = s.has_thumbnail = 0;
     },
     "|Band||spotify|0|0", 0},
    {"NoRequestOperation", [](auto& s) { s.request = MEDIA_COMPLETE_NO_OPERATION; }, "", 0},
    {"RequestErrorWithoutCode", [](auto& s) { s.request = MEDIA_COMPLETE_ERROR_NO_CODE; }, "", 0},
    {"PropertiesCancelled", [](auto& s) { s.properties = MEDIA_COMPLETE_CANCELED; }, "", 0},
    {"ReadFailsWithoutItsErrorCode",
     [](auto& s) {
       s.read = MEDIA_COMPLETE_ERROR;
       s.failing_call = "get_ErrorCode";
     },
     "Song|Band|Album|spotify|1|0", 0},
    {"AllLaterLargeArtworkInAnotherBuffer",
     [](auto& s) {
       s.request = s.properties = s.open = s.read = MEDIA_COMPLETE_LATER;
       s.thumbnail_length = kLargeArtwork;
       s.read_returns_other_buffer = 1;
     },
     "Song|Band|Album|spotify|1|307200", kLargeArtwork},
    // A wait whose event cannot be created or waited for ends the pass, even when the failed call
    // left no last error.
    {"NoEvent", [](auto& s) { s.failing_call = "CreateEventW"; }, "", 0},
    {"WaitFails", [](auto& s) { s.failing_call = "WaitForMultipleObjects"; }, "", 0},
};

class MediaAdapterTest : public MediaStandin, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(MediaAdapterTest, ReadsTheSession) {
  const std::vector<BYTE> thumbnail = Pattern(kLargeArtwork);
  MediaSessionScript script = Playing(thumbnail);
  GetParam().change(script);
  Standin().Script(script);
  // The pass leaves nothing alive behind it (checked at the end of each test).
  const std::optional<MediaSnapshot> snapshot = Read();
  EXPECT_EQ(snapshot ? SnapshotSignature(*snapshot) : "", GetParam().signature);
  if (GetParam().artwork == 0) return;
  ASSERT_TRUE(snapshot.has_value());
  EXPECT_TRUE(snapshot->at(EncodableValue("artwork")) ==
              EncodableValue(
                  std::vector<uint8_t>(thumbnail.begin(), thumbnail.begin() + GetParam().artwork)));
}

INSTANTIATE_TEST_SUITE_P(Readings, MediaAdapterTest, ::testing::ValuesIn(kReadingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Without its event there is no stop (and so no poller). A wait on the stop that fails outright
// sleeps rather than returning at once, which would make the pause spin to its deadline.
TEST_F(MediaStandin, NoStopWithoutItsEvent) {
  MediaSessionScript script = {};
  script.failing_call = "CreateEventW";
  Standin().Script(script);
  EXPECT_EQ(windows::StopEvent::Make(), nullptr);
  const std::shared_ptr<windows::StopEvent> stop = windows::StopEvent::Make();
  ASSERT_NE(stop, nullptr);
  script.failing_call = "WaitForSingleObject";
  Standin().Script(script);
  const auto before = stop->Now();
  EXPECT_FALSE(stop->WaitUntil(before + std::chrono::seconds(1)));
  EXPECT_GE(stop->Now() - before, std::chrono::milliseconds(50));
}

// Each call of a clean pass, failing in turn, ends the pass there: before the thumbnail is opened
// with an empty reading, after it with no artwork. The calls are taken from the clean pass, so
// that any order the adapters may take is tried.
TEST_F(MediaStandin, EachCallFailingInTurnEndsThePassThere) {
  const std::vector<BYTE> thumbnail = Pattern(3);
  Standin().Script(Playing(thumbnail));
  ASSERT_TRUE(Read().has_value());
  const std::string calls = " " + Standin().Calls() + " ";
  ASSERT_NE(calls.find(" ReadBytes "), std::string::npos) << calls;
  std::istringstream names(calls);
  for (std::string name; names >> name;) {
    SCOPED_TRACE(name);
    MediaSessionScript script = Playing(thumbnail);
    script.failing_call = name.c_str();
    Standin().Script(script);
    const std::optional<MediaSnapshot> snapshot = Read();
    ExpectClean();
    const size_t failed = calls.find(" " + name + " ");
    EXPECT_EQ(snapshot ? SnapshotSignature(*snapshot) : "",
              failed < calls.find(" OpenReadAsync ") ? "" : "Song|Band|Album|spotify|1|0");
    EXPECT_EQ(Standin().Calls(), calls.substr(1, failed + name.size()));
  }
}

}  // namespace
}  // namespace orvane::now_playing::testing
