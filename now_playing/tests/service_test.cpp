// The channel protocol, the poller's passes and pauses, and thread start, through the stand-in
// engine library's messenger, with a stop whose pauses the test releases.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <system_error>
#include <vector>

#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/standin_test.h"
#include "now_playing/media_snapshot.h"
#include "now_playing/now_playing_service.h"
#include "testing/allocation/failing_allocation.h"
#include "testing/now_playing_ports/fake_ports.h"

namespace orvane::now_playing {

// Reaches the stop flag without destroying the service, so that a test can look at what the
// poller published before it ended.
class NowPlayingServiceTestPeer {
 public:
  static void RequestStop(NowPlayingService& service) { service.stop_requested.exchange(true); }
  static void StopPolling(NowPlayingService& service) { service.StopPolling(); }
};

namespace {

using orvane::testing::Bytes;
using testing::FakePlatform;
using testing::SessionScript;
using Peer = NowPlayingServiceTestPeer;
using V = EncodableValue;
using namespace std::chrono_literals;

// A latch the test opens once; any number of waits pass after that.
struct Gate {
  void Open() { opened.set_value(); }
  void Wait() { open.wait(); }
  std::promise<void> opened;
  std::shared_future<void> open = opened.get_future().share();
};

const Bytes kStart = {0x07, 0x05, 's', 't', 'a', 'r', 't', 0x00};
const Bytes kNull = {0x00, 0x00};

const StandardMethodCodec& Codec() { return StandardMethodCodec::Instance(); }

Bytes CallBytes(const std::string& method, EncodableValue arguments) {
  return *Codec().EncodeMethodCall(
      MethodCall(method, std::make_unique<EncodableValue>(std::move(arguments))));
}

const Bytes kGetCurrent = CallBytes("getCurrent", V());

Bytes GetCurrent(const V& since, const char* key = "since") {
  return CallBytes("getCurrent", V(EncodableMap{{V(key), since}}));
}

Bytes Success(const EncodableValue& value) { return *Codec().EncodeSuccessEnvelope(&value); }

const Bytes kEmptyMarker = Success(V(EncodableMap{{V("empty"), V(true)}, {V("signature"), V("")}}));

SessionScript Song(std::u16string title, size_t artwork) {
  SessionScript script;
  script.title = std::move(title);
  script.artist = u"Band";
  script.application_id = u"Spotify";
  if (artwork > 0) script.thumbnail.emplace().bytes.assign(artwork, 0x5A);
  return script;
}

// The reply map for Song(title, artwork).
EncodableValue SongReply(const std::string& title, size_t artwork) {
  EncodableMap map{{V("title"), V(title)},
                   {V("artist"), V("Band")},
                   {V("album"), V("")},
                   {V("source"), V("spotify")},
                   {V("isPlaying"), V(true)}};
  if (artwork > 0) map[V("artwork")] = V(std::vector<uint8_t>(artwork, 0x5A));
  map[V("signature")] = V(SnapshotSignature(map));
  return V(std::move(map));
}

std::string SignatureOf(const EncodableValue& reply) {
  return reply.Get<EncodableMap>().at(EncodableValue("signature")).Get<std::string>();
}

class ServiceTest : public orvane::testing::StandinTest {
 protected:
  void TearDown() override {
    service_.reset();
    EXPECT_EQ(platform_.ledger.Verdict(), std::vector<std::string>());
    StandinTest::TearDown();
  }

  void CreateService() {
    service_ = std::make_unique<NowPlayingService>(StartEngine(), std::move(platform_.ports));
  }

  // The one answer to a message: its bytes; none for the not-implemented answer.
  Bytes Call(const Bytes& message) {
    orvane::testing::Delivery delivery =
        orvane::testing::DeliverMessage(kNowPlayingChannel, message);
    EXPECT_EQ(delivery.responses.size(), 1u);
    if (delivery.responses.size() != 1) return {};
    return delivery.responses[0].bytes;
  }

  FakePlatform platform_;
  testing::FakeStop& stop_ = *platform_.stop;
  Gate gate_;  // outlives the poller
  std::unique_ptr<NowPlayingService> service_;
};

// The first thread start fails: that "start" answers false, and the next one tries again.
TEST_F(ServiceTest, AnswersBeforeAnythingIsPublished) {
  int attempts = 0;
  platform_.ports.start_thread = [&, start = platform_.ports.start_thread](auto body) {
    if (++attempts == 1)
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    return start(std::move(body));
  };
  platform_.media->on_pass = [&](int) { gate_.Wait(); };
  CreateService();
  const struct {
    Bytes message;
    Bytes reply;
  } cases[] = {
      {kGetCurrent, kNull},
      {GetCurrent("Song|Band||spotify|1|0"), kEmptyMarker},
      // Every other shape of arguments reads as no "since".
      {GetCurrent(V(7)), kNull},
      {GetCurrent("x", "Since"), kNull},
      {CallBytes("getCurrent", V(EncodableList{V("x")})), kNull},
      {CallBytes("Start", V()), {}},
      {CallBytes("getcurrent", V()), {}},
  };
  // Idle, then started with the first pass still under way: the same answers.
  for (int started = 0; started < 2; ++started) {
    if (started == 1) {
      EXPECT_EQ(Call(kStart), (Bytes{0x00, 0x02}));
      EXPECT_EQ(Call(kStart), (Bytes{0x00, 0x01}));
      EXPECT_EQ(Call(CallBytes("start", EncodableValue(1))), (Bytes{0x00, 0x01}));
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_EQ(Call(cases[i].message), cases[i].reply) << started << " " << i;
    }
  }
  EXPECT_EQ(attempts, 2);
  gate_.Open();
}

// Without a stop nothing could end a poller: "start" answers as ever, and nothing is read.
TEST_F(ServiceTest, StartsNoPollerWithoutAStop) {
  platform_.ports.stop.reset();
  platform_.ports.start_thread = [](auto) -> std::thread {
    ADD_FAILURE() << "a poller started";
    return {};
  };
  CreateService();
  EXPECT_EQ(Call(kStart), (Bytes{0x00, 0x01}));
  EXPECT_EQ(Call(kGetCurrent), kNull);
}

TEST_F(ServiceTest, AnswersFollowWhatEachPassPublished) {
  // Each reading takes 250 ms; the next pass starts 1000 ms after one ends.
  platform_.media->on_pass = [&](int) { stop_.Advance(250ms); };
  platform_.media->SetScript(Song(u"Song", 3000));
  CreateService();
  Call(kStart);
  EXPECT_EQ(stop_.AwaitWaits(1), 1250);
  const EncodableValue first = SongReply("Song", 3000);
  const std::string signature = SignatureOf(first);
  EXPECT_EQ(Call(kGetCurrent), Success(first));
  EXPECT_EQ(Call(GetCurrent(signature)), kNull);

  // Woken early, the pause waits again for the same deadline. An identical pass publishes the
  // identical signature.
  stop_.Advance(400ms);
  stop_.WakeEarly();
  EXPECT_EQ(stop_.AwaitWaits(2), 1250);
  stop_.Permit(1);
  EXPECT_EQ(stop_.AwaitWaits(3), 2500);
  EXPECT_EQ(Call(GetCurrent(signature)), kNull);

  // A snapshot without artwork has no "artwork" key at all.
  platform_.media->SetScript(Song(u"Other", 0));
  stop_.Permit(1);
  stop_.AwaitWaits(4);
  EXPECT_EQ(Call(GetCurrent(signature)), Success(SongReply("Other", 0)));

  // The media goes away: the empty marker once, then null for its empty signature.
  SessionScript gone;
  gone.fail = "GetCurrentSession=null";
  platform_.media->SetScript(gone);
  stop_.Permit(1);
  stop_.AwaitWaits(5);
  EXPECT_EQ(Call(GetCurrent(SignatureOf(SongReply("Other", 0)))), kEmptyMarker);
  EXPECT_EQ(Call(GetCurrent("")), kNull);

  // A stop during the pause ends the poller at once.
  service_.reset();
  EXPECT_EQ(stop_.waits(), 5);
}

// Out of memory at any allocation of a pass, the signature's included: that pass publishes the
// empty reading, never a snapshot without its signature.
TEST_F(ServiceTest, PassWithoutMemoryPublishesTheEmptyReading) {
  if (!orvane::testing::AllocationsCanFail()) GTEST_SKIP() << "allocations cannot fail here";
  platform_.media->on_pass = [](int pass) { orvane::testing::FailAllocationAfter(pass - 1); };
  platform_.media->SetScript(Song(u"Song", 0));
  CreateService();
  int failed = orvane::testing::FailedAllocations();
  Call(kStart);
  for (int pass = 1;; ++pass) {
    stop_.AwaitWaits(pass);
    const bool ran_out = orvane::testing::FailedAllocations() > failed;
    failed = orvane::testing::FailedAllocations();
    EXPECT_EQ(Call(GetCurrent("stale")), ran_out ? kEmptyMarker : Success(SongReply("Song", 0)));
    if (!ran_out) break;
    stop_.Permit(1);
  }
}

// Each await that would never complete is given up for the stop, and the poller ends without a
// pause. A message that arrives after the service (while the engine takes its view down) finds
// the channel unregistered.
TEST_F(ServiceTest, StopGivesUpAnAwaitThatNeverCompletes) {
  BinaryMessenger* messenger = StartEngine();
  for (std::string call :
       {"RequestSessionManager", "TryGetMediaProperties", "OpenReadAsync", "ReadAsync"}) {
    FakePlatform platform;
    SessionScript script = Song(u"Song", 10);
    (call.find("ReadAsync") == std::string::npos ? script.fail : script.thumbnail->fail) =
        call + "=stuck";
    platform.media->SetScript(script);
    auto service = std::make_unique<NowPlayingService>(messenger, std::move(platform.ports));
    Call(kStart);
    platform.ledger.AwaitStuck();
    service.reset();
    EXPECT_EQ(platform.ledger.stuck, 1) << call;
    EXPECT_EQ(platform.ledger.Verdict(), std::vector<std::string>()) << call;
    EXPECT_FALSE(orvane::testing::DeliverMessage(kNowPlayingChannel, kGetCurrent).delivered);
  }
}

TEST_F(ServiceTest, ReadingUnderWayIsFinishedAndPublished) {
  Gate reading, resume;
  platform_.media->on_pass = [&](int pass) {
    if (pass != 2) return;
    reading.Open();
    resume.Wait();
  };
  platform_.media->SetScript(Song(u"First", 0));
  CreateService();
  Call(kStart);
  stop_.Permit(1);
  reading.Wait();
  Peer::RequestStop(*service_);
  platform_.media->SetScript(Song(u"Second", 0));
  resume.Open();
  Peer::StopPolling(*service_);
  EXPECT_EQ(Call(kGetCurrent), Success(SongReply("Second", 0)));
  // The stop seen after that reading ends the poller without another pause.
  EXPECT_EQ(stop_.waits(), 1);
}

// Under ThreadSanitizer: every answer pairs one pass's snapshot with that pass's signature.
TEST_F(ServiceTest, AnswersStayConsistentWhileThePollerPublishes) {
  platform_.media->on_pass = [&](int pass) {
    platform_.media->SetScript(pass % 3 == 0 ? SessionScript()
                                             : Song(pass % 3 == 1 ? u"A" : u"B", pass % 3 * 10));
  };
  stop_.Free();
  CreateService();
  Call(kStart);
  for (int i = 0; i < 300; ++i) {
    EncodableMap map = orvane::testing::Decode(Call(GetCurrent("?")), 1).Get<EncodableMap>();
    const std::string signature = SignatureOf(V(map));
    map.erase(V("signature"));
    EXPECT_EQ(map.count(V("empty")) != 0 ? "" : SnapshotSignature(map), signature);
  }
}

}  // namespace
}  // namespace orvane::now_playing
