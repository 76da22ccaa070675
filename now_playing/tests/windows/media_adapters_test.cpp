// The Runtime layer and the media-session and stream adapters against the stand-in's Runtime
// classes, read the way the poller reads them (ReadMediaSnapshot), with the stand-in's operations
// completing in each way and its calls failing in turn.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "now_playing/media_snapshot.h"
#include "testing/now_playing_ports/fake_ports.h"
#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/stream_adapter.h"
#include "testing/media_session/load.h"

namespace orvane::now_playing::testing {
namespace {

// The media-session stand-in (testing/media_session), loaded from beside the test program and
// registered in the prefix once per program; its counters checked after every test.
class MediaStandin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // as the poller thread does
    const HMODULE module = orvane::testing::LoadMediaSession();
    set_script_ = orvane::testing::MediaSessionExport<MediaSessionSetScriptFn>(
        module, "media_session_set_script");
    counts_ =
        orvane::testing::MediaSessionExport<MediaSessionCountsFn>(module, "media_session_counts");
    calls_ =
        orvane::testing::MediaSessionExport<MediaSessionCallsFn>(module, "media_session_calls");
  }
  void SetUp() override {
    ASSERT_TRUE(set_script_ && counts_ && calls_);
    MediaSessionCounts counts = {};
    counts_(&counts);
    baseline_live_ = counts.live;
  }
  void TearDown() override { ExpectClean(); }
  // Every object released exactly once, none used after its release, no call the real classes
  // would reject, every string and event given back. Checked while COM is still initialised.
  void ExpectClean() const {
    if (counts_ == nullptr) return;
    MediaSessionCounts c = {};
    counts_(&c);
    EXPECT_EQ(std::make_tuple(c.live, c.over_released, c.used_after_release, c.unexpected_calls,
                              c.live_strings, c.live_events),
              std::make_tuple(baseline_live_, 0L, 0L, 0L, 0L, 0L));
  }
  static void Script(const MediaSessionScript& script) { set_script_(&script); }
  static std::string Calls() {
    char text[1024];
    calls_(text, sizeof text);
    return text;
  }

 private:
  static inline MediaSessionSetScriptFn set_script_ = nullptr;
  static inline MediaSessionCountsFn counts_ = nullptr;
  static inline MediaSessionCallsFn calls_ = nullptr;
  LONG baseline_live_ = 0;
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
  script.has_session = script.has_properties = script.has_playback_info = 1;
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
  NowPlayingPorts ports{windows::MakeMediaPlatform(), windows::MakeStreamPlatform(),
                        std::make_unique<FakeWindows>(ledger), nullptr};
  return ReadMediaSnapshot(ports);
}

struct ReadingCase {
  const char* name;
  std::function<void(MediaSessionScript&)> change;
  const char* signature;  // "" when the reading is empty
  uint32_t artwork;       // bytes expected, the leading ones of the thumbnail
};

const ReadingCase kReadingCases[] = {
    {"AllAtOnce", [](auto&) {}, "Song|Band|Album|spotify|1|3", 3},
    {"AllLaterOnAnotherThread",
     [](auto& s) { s.request = s.properties = s.open = s.read = MEDIA_COMPLETE_LATER; },
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
    {"OpenFails", [](auto& s) { s.open = MEDIA_COMPLETE_ERROR; }, "Song|Band|Album|spotify|1|0", 0},
    {"ReadFailsWithoutItsErrorCode",
     [](auto& s) {
       s.read = MEDIA_COMPLETE_ERROR;
       s.failing_call = "get_ErrorCode";
     },
     "Song|Band|Album|spotify|1|0", 0},
    {"LargeArtworkInAnotherBuffer",
     [](auto& s) {
       s.thumbnail_length = kLargeArtwork;
       s.read_returns_other_buffer = 1;
       s.read = MEDIA_COMPLETE_LATER;
     },
     "Song|Band|Album|spotify|1|307200", kLargeArtwork},
};

class MediaAdapterTest : public MediaStandin, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(MediaAdapterTest, ReadsTheSession) {
  const std::vector<BYTE> thumbnail = Pattern(kLargeArtwork);
  MediaSessionScript script = Playing(thumbnail);
  GetParam().change(script);
  Script(script);
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

// One pass makes the platform calls in this order. Each failing in turn ends the pass there:
// before the thumbnail is opened with an empty reading, after it with no artwork.
TEST_F(MediaStandin, CallsInOrderEachFailingInTurn) {
  const std::vector<BYTE> thumbnail = Pattern(3);
  Script(Playing(thumbnail));
  ASSERT_TRUE(Read().has_value());
  const std::string calls =
      " Activate:SessionManager RequestAsync put_Completed QueryInterface:IAsyncInfo get_Status "
      "GetResults GetCurrentSession TryGetMediaPropertiesAsync put_Completed "
      "QueryInterface:IAsyncInfo get_Status GetResults GetPlaybackInfo get_Title get_Artist "
      "get_AlbumTitle get_SourceAppUserModelId get_PlaybackStatus get_Thumbnail OpenReadAsync "
      "put_Completed QueryInterface:IAsyncInfo get_Status GetResults "
      "QueryInterface:IRandomAccessStream get_Size Activate:Buffer Create "
      "QueryInterface:IInputStream ReadAsync put_Completed QueryInterface:IAsyncInfo get_Status "
      "GetResults Activate:DataReader FromBuffer get_UnconsumedBufferLength ReadBytes ";
  EXPECT_EQ(" " + Calls() + " ", calls);
  std::istringstream names(calls);
  for (std::string name; names >> name;) {
    SCOPED_TRACE(name);
    MediaSessionScript script = Playing(thumbnail);
    script.failing_call = name.c_str();
    Script(script);
    const std::optional<MediaSnapshot> snapshot = Read();
    ExpectClean();
    const size_t failed = calls.find(" " + name + " ");
    EXPECT_EQ(snapshot ? SnapshotSignature(*snapshot) : "",
              failed < calls.find(" OpenReadAsync ") ? "" : "Song|Band|Album|spotify|1|0");
    EXPECT_EQ(Calls(), calls.substr(1, failed + name.size()));
  }
}

// A wait whose event cannot be created or waited for ends the pass, even when the failed call
// left no last error; the next pass works.
TEST_F(MediaStandin, FailingWaits) {
  const std::vector<BYTE> thumbnail = Pattern(3);
  for (const char* call : {"CreateEventW", "WaitForMultipleObjects"}) {
    MediaSessionScript script = Playing(thumbnail);
    script.failing_call = call;
    Script(script);
    EXPECT_FALSE(Read().has_value()) << call;
    EXPECT_TRUE(Read().has_value()) << call;
  }
}

}  // namespace
}  // namespace orvane::now_playing::testing
