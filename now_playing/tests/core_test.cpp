// The reading of one pass: text conversion, snapshot and signature, source classification and
// artwork, each over the strict fakes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "now_playing/artwork.h"
#include "now_playing/media_snapshot.h"
#include "now_playing/source_classification.h"
#include "now_playing/text.h"
#include "testing/now_playing_ports/fake_ports.h"

namespace orvane::now_playing {
namespace {

using testing::FakePlatform;
using testing::RecordedWindow;
using testing::SessionScript;
using testing::StreamScript;

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

TEST(TextTest, ConvertsAsCodePage65001AndLowerCasesAToZ) {
  const struct {
    std::u16string in;
    std::string out;
  } cases[] = {
      {u"", ""},
      // Unpaired surrogates each become U+FFFD; the rest survives.
      {std::u16string(u"a") + char16_t(0xD83C) + u"b",
       "a\xef\xbf\xbd"
       "b"},
      {std::u16string(1, char16_t(0xDFB5)) + char16_t(0xD83C), "\xef\xbf\xbd\xef\xbf\xbd"},
      // A high surrogate before a unit above the surrogates; that unit itself is kept.
      {std::u16string{char16_t(0xD83C), char16_t(0xE000)}, "\xef\xbf\xbd\xee\x80\x80"},
      // The edges of each encoded length and of both surrogate ranges.
      {u"\u007f\u0080\u07ff\u0800\uffff", "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf"},
      {std::u16string{char16_t(0xD800), char16_t(0xDC00), char16_t(0xDBFF), char16_t(0xDFFF)},
       "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
      {std::u16string{char16_t(0xD7FF), char16_t(0xDBFF), char16_t(0xDBFF), char16_t(0xDFFF)},
       "\xed\x9f\xbf\xef\xbf\xbd\xf4\x8f\xbf\xbf"},
  };
  for (const auto& c : cases) EXPECT_EQ(WideToUtf8(c.in), c.out);
  // Only A to Z change.
  EXPECT_EQ(LowerCase(u"@AZ[`az{\u00c0\u0130"), u"@az[`az{\u00c0\u0130");
}

TEST(SnapshotTest, ReadingAndSignature) {
  SessionScript song;
  song.title = u"Song";
  song.artist = u"Band";
  song.application_id = u"Spotify.exe";
  song.thumbnail = StreamScript{Pattern(5120), {}, {}, false, ""};
  auto with = [&](auto change) {
    SessionScript script = song;
    change(script);
    return script;
  };
  struct Case {
    SessionScript script;
    std::string signature;  // empty: no snapshot
  };
  std::vector<Case> cases = {
      {song, "Song|Band||spotify|1|5120"},
      {with([](auto& s) { s.title.clear(); }), "|Band||spotify|1|5120"},
      {with([](auto& s) { s.artist.clear(); }), "Song|||spotify|1|5120"},
      {with([](auto& s) { s.title.clear(), s.artist.clear(), s.album = u"Album"; }), ""},
      {with([](auto& s) { s.album = u"Al|bum"; }), "Song|Band|Al|bum|spotify|1|5120"},
      {with([](auto& s) { s.fail = "GetPlaybackInfo=null"; }), "Song|Band||spotify|0|5120"},
      {with([](auto& s) { s.status = kPlaybackPaused; }), "Song|Band||spotify|0|5120"},
      {with([](auto& s) { s.status = kPlaybackChanging; }), "Song|Band||spotify|0|5120"},
      {with([](auto& s) { s.thumbnail.reset(); }), "Song|Band||spotify|1|0"},
      {with([](auto& s) { s.thumbnail->fail = "ReadAsync"; }), "Song|Band||spotify|1|0"},
  };
  // A call that fails, answers no object where one is needed, or runs out of memory: no snapshot.
  for (const char* fail :
       {"RequestSessionManager", "RequestSessionManager=null", "GetCurrentSession",
        "GetCurrentSession=null", "TryGetMediaProperties", "TryGetMediaProperties=null",
        "GetPlaybackInfo", "Title", "Artist", "AlbumTitle", "SourceAppUserModelId",
        "PlaybackStatus", "Thumbnail", "SourceAppUserModelId=bad_alloc"}) {
    cases.push_back({with([&](auto& s) { s.fail = fail; }), ""});
  }
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.media->SetScript(c.script);
    std::optional<MediaSnapshot> snapshot = ReadMediaSnapshot(platform.ports);
    const std::string context = c.signature + c.script.fail;
    EXPECT_EQ(platform.ledger.Verdict(), std::vector<std::string>()) << context;
    // The map itself is compared whole in the service's tests.
    EXPECT_EQ(snapshot ? SnapshotSignature(*snapshot) : "", c.signature) << context;
  }
  EXPECT_EQ(SnapshotSignature(MediaSnapshot()), "||||0|0");
}

RecordedWindow Browser(const char16_t* exe, std::u16string title, uint32_t pid) {
  return RecordedWindow{true, pid, std::u16string(u"C:\\Apps\\") + exe, std::move(title)};
}

TEST(ClassificationTest, ApplicationIdThenBrowserWindows) {
  const std::u16string long_title = std::u16string(506, u'x') + u"twitch";  // 512 characters
  const struct {
    std::u16string application_id;
    std::u16string title;
    std::vector<RecordedWindow> windows;
    std::string label;
    int enumerations;
  } cases[] = {
      {u"SpotifyAB.SpotifyMusic_zpdnekdrzrea0!Spotify", u"Song", {}, "spotify", 0},
      {u"spotify chrome", u"Song", {Browser(u"chrome.exe", u"Song - YouTube", 1)}, "spotify", 0},
      {u"AppleInc.AppleMusicWin", u"Song", {}, "apple", 0},
      {u"Apple Music", u"", {}, "apple", 0},
      {u"iTunes", u"", {}, "apple", 0},
      {u"YouTube Music", u"", {}, "youtube", 0},
      {u"Twitch", u"", {}, "twitch", 0},
      // The media title (any case) picks the window that plays it.
      {u"Chrome",
       u"SONG",
       {Browser(u"chrome.exe", u"Other - Twitch", 1), Browser(u"chrome.exe", u"Song - YouTube", 2)},
       "youtube",
       1},
      // No window shows the title: any browser window naming a site (second pass).
      {u"MSEdge",
       u"Song",
       {Browser(u"msedge.exe", u"News", 1), Browser(u"MSEdge.EXE", u"Stream - Twitch", 2)},
       "twitch",
       2},
      {u"Edge + YouTube", u"Song", {Browser(u"opera.exe", u"x - twitch", 1)}, "twitch", 2},
      {u"firefox", u"Song", {Browser(u"firefox.exe", u"Song", 1)}, "browser", 2},
      {u"brave", u"", {}, "browser", 2},
      // Unrecognised: a site from the windows, else unknown (never "browser").
      {u"VideoPlayer", u"Film", {Browser(u"firefox.exe", u"x - YouTube", 1)}, "youtube", 2},
      {u"", u"", {Browser(u"vivaldi.exe", u"Apple Music and YouTube", 1)}, "apple", 1},
      {u"VideoPlayer", u"Film", {Browser(u"chrome.exe", u"News", 1)}, "unknown", 2},
      // Windows that do not count: hidden, no process, unopenable, not a browser, a look-alike
      // name, a path longer than its buffer, no title, a site beyond the 511th character. Only
      // browser windows' titles are read.
      {u"VideoPlayer",
       u"",
       {RecordedWindow{false, 1, u"chrome.exe", u"YouTube", false},
        RecordedWindow{true, 0, u"", u"YouTube", false},
        RecordedWindow{true, 2, std::nullopt, u"YouTube", false},
        RecordedWindow{true, 3, u"notepad.exe", u"YouTube", false},
        RecordedWindow{true, 4, u"chrome.exe.bak", u"YouTube", false},
        RecordedWindow{true, 5, u"chrome2.exe", u"YouTube", false},
        RecordedWindow{true, 6, std::u16string(250, u'd') + u"\\chrome.exe", u"YouTube", false},
        Browser(u"brave.exe", u"", 7), Browser(u"chrome.exe", long_title, 8)},
       "unknown",
       2},
      {u"VideoPlayer", u"", {Browser(u"chrome.exe", long_title.substr(1), 1)}, "twitch", 1},
      {u"VideoPlayer", u"", {RecordedWindow{true, 1, u"D:/x/Brave.exe", u"twitch"}}, "twitch", 1},
      {u"VideoPlayer", u"", {RecordedWindow{true, 1, u"opera.exe", u"spotify"}}, "spotify", 1},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.windows->windows = c.windows;
    const std::string context(c.application_id.begin(), c.application_id.end());
    EXPECT_EQ(ClassifySource(*platform.windows, c.application_id, c.title), c.label) << context;
    EXPECT_EQ(platform.windows->enumerations, c.enumerations) << context;
    EXPECT_EQ(platform.ledger.Verdict(), std::vector<std::string>()) << context;
  }
  // Once a window has named the site, the next one changes nothing.
  FakePlatform platform;
  platform.windows->windows = {Browser(u"chrome.exe", u"YouTube", 1)};
  BrowserWindowSearch search{u"", "twitch"};
  EXPECT_FALSE(VisitWindow(*platform.windows, reinterpret_cast<WindowHandle>(1), search));
  EXPECT_EQ(search.label, "twitch");
}

TEST(ArtworkTest, ReadsWhatTheReadDelivered) {
  const std::vector<uint8_t> large = Pattern(300 * 1024 + 17);
  struct Case {
    std::string name;
    StreamScript script;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"whole", {large, {}, {}, false, ""}, large},
      {"returned buffer of its own", {large, {}, {}, true, ""}, large},
      {"returned no buffer", {large, {}, {}, false, "ReadAsync=null"}, large},
      {"short read", {large, {}, 1000u, false, ""}, {large.begin(), large.begin() + 1000}},
      // A buffer longer than was asked for, by a byte, is no read of this stream.
      {"returned more than asked", {large, 1000u, 1001u, true, ""}, {}},
      {"size 0", {large, 0u, {}, false, ""}, {}},
      // Only the low 32 bits of the size count.
      {"size 2^32 + 3",
       {large, (uint64_t{1} << 32) + 3, {}, false, ""},
       {large.begin(), large.begin() + 3}},
      {"nothing delivered", {large, {}, 0u, false, ""}, {}},
  };
  // A call that fails, answers no object or runs out of memory leaves no artwork.
  for (const char* fail :
       {"OpenReadAsync", "OpenReadAsync=null", "Size", "CreateBuffer", "CreateBuffer=null",
        "ReadAsync", "DataReaderFromBuffer", "DataReaderFromBuffer=null", "UnconsumedBufferLength",
        "ReadBytes", "UnconsumedBufferLength=bad_alloc"}) {
    cases.push_back({fail, {large, {}, {}, false, fail}, {}});
  }
  for (const auto& c : cases) {
    FakePlatform platform;
    {
      std::unique_ptr<StreamReference> reference =
          platform.streams->Reference(std::make_shared<StreamScript>(c.script));
      EXPECT_EQ(ReadThumbnailBytes(*platform.streams, reference.get()), c.bytes) << c.name;
    }
    EXPECT_EQ(platform.ledger.Verdict(), std::vector<std::string>()) << c.name;
  }
}

}  // namespace
}  // namespace orvane::now_playing
