// The media-session and stream adapters against the stand-in's Runtime classes, read the way the
// poller reads them (ReadMediaSnapshot), with the stand-in's operations completing in each way.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "now_playing/media_snapshot.h"
#include "now_playing/tests/fake_ports.h"
#include "now_playing/tests/windows/media_standin.h"
#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/stream_adapter.h"

namespace orvane::now_playing::testing {
namespace {

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
    {"AllAtOnce", [](MediaSessionScript&) {}, "Song|Band|Album|spotify|1|3", 3},
    {"AllLaterOnAnotherThread",
     [](MediaSessionScript& s) {
       s.request = s.properties = s.open = s.read = MEDIA_COMPLETE_LATER;
     },
     "Song|Band|Album|spotify|1|3", 3},
    {"NoSession", [](MediaSessionScript& s) { s.has_session = 0; }, "", 0},
    {"NullProperties", [](MediaSessionScript& s) { s.has_properties = 0; }, "", 0},
    {"NullPlaybackInfo", [](MediaSessionScript& s) { s.has_playback_info = 0; },
     "Song|Band|Album|spotify|0|3", 3},
    {"NullTexts", [](MediaSessionScript& s) { s.title = s.album = nullptr; }, "|Band||spotify|1|3",
     3},
    {"RequestFails", [](MediaSessionScript& s) { s.request = MEDIA_COMPLETE_ERROR; }, "", 0},
    {"PropertiesCancelled", [](MediaSessionScript& s) { s.properties = MEDIA_COMPLETE_CANCELED; },
     "", 0},
    {"PropertiesResultsFail",
     [](MediaSessionScript& s) { s.properties = MEDIA_COMPLETE_RESULTS_FAIL; }, "", 0},
    {"OpenFails", [](MediaSessionScript& s) { s.open = MEDIA_COMPLETE_ERROR; },
     "Song|Band|Album|spotify|1|0", 0},
    {"ReadCancelled", [](MediaSessionScript& s) { s.read = MEDIA_COMPLETE_CANCELED; },
     "Song|Band|Album|spotify|1|0", 0},
    {"NoThumbnail", [](MediaSessionScript& s) { s.has_thumbnail = 0; },
     "Song|Band|Album|spotify|1|0", 0},
    {"EmptyThumbnail", [](MediaSessionScript& s) { s.thumbnail_length = 0; },
     "Song|Band|Album|spotify|1|0", 0},
    {"LargeArtworkInAnotherBuffer",
     [](MediaSessionScript& s) {
       s.thumbnail_length = kLargeArtwork;
       s.read_returns_other_buffer = 1;
       s.read = MEDIA_COMPLETE_LATER;
     },
     "Song|Band|Album|spotify|1|307200", kLargeArtwork},
    {"ShortRead",
     [](MediaSessionScript& s) {
       s.thumbnail_length = kLargeArtwork;
       s.read_shortfall = 1000;
     },
     "Song|Band|Album|spotify|1|306200", kLargeArtwork - 1000},
};

class MediaAdapterTest : public MediaStandin, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(MediaAdapterTest, ReadsTheSession) {
  const std::vector<BYTE> thumbnail = Pattern(kLargeArtwork);
  MediaSessionScript script = Playing(thumbnail);
  GetParam().change(script);
  Script(script);
  // Two passes: each leaves nothing alive behind it.
  for (int pass = 0; pass < 2; ++pass) {
    const std::optional<MediaSnapshot> snapshot = Read();
    ExpectClean();
    EXPECT_EQ(snapshot ? SnapshotSignature(*snapshot) : "", GetParam().signature);
    if (GetParam().artwork == 0) continue;
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_TRUE(snapshot->at(EncodableValue("artwork")) ==
                EncodableValue(std::vector<uint8_t>(thumbnail.begin(),
                                                    thumbnail.begin() + GetParam().artwork)));
  }
}

INSTANTIATE_TEST_SUITE_P(Readings, MediaAdapterTest, ::testing::ValuesIn(kReadingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// One pass makes the platform calls in this order.
TEST_F(MediaStandin, CallsInOrder) {
  const std::vector<BYTE> thumbnail = Pattern(3);
  Script(Playing(thumbnail));
  ASSERT_TRUE(Read().has_value());
  EXPECT_EQ(Calls(),
            "RequestAsync GetCurrentSession TryGetMediaPropertiesAsync GetPlaybackInfo get_Title "
            "get_Artist get_AlbumTitle get_SourceAppUserModelId get_PlaybackStatus get_Thumbnail "
            "OpenReadAsync get_Size Create ReadAsync FromBuffer get_UnconsumedBufferLength "
            "ReadBytes");
}

// The script file that the end-to-end test and the demo hand to the stand-in from outside.
TEST_F(MediaStandin, ScriptFileFromTheEnvironment) {
  char directory[MAX_PATH];
  const std::string base(directory, GetTempPathA(MAX_PATH, directory));
  const std::string script_path = base + "media_session_script.txt";
  const std::string cover_path = base + "media_session_cover.bin";
  std::ofstream(cover_path, std::ios::binary) << "cover";
  std::ofstream(script_path, std::ios::binary)
      << "title=Song \xc3\xa9\r\nartist=Band\nalbum=Album\napp_id=Spotify.exe\nstatus=paused\n"
      << "thumbnail=" << cover_path << "\n";
  SetEnvironmentVariableA("ORVANE_MEDIA_SESSION_SCRIPT", script_path.c_str());
  set_script(nullptr);
  const std::optional<MediaSnapshot> snapshot = Read();
  EXPECT_EQ(snapshot ? SnapshotSignature(*snapshot) : "", "Song \xc3\xa9|Band|Album|spotify|0|5");
  std::ofstream(script_path, std::ios::binary) << "session=none\n";
  EXPECT_FALSE(Read().has_value());
  SetEnvironmentVariableA("ORVANE_MEDIA_SESSION_SCRIPT", nullptr);
  DeleteFileA(script_path.c_str());
  DeleteFileA(cover_path.c_str());
}

}  // namespace
}  // namespace orvane::now_playing::testing
