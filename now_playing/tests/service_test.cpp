// The channel protocol, the poller's passes and pauses, and thread start, through the stand-in
// engine library's messenger, with a clock whose pauses the test releases.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/standin_test.h"
#include "now_playing/media_snapshot.h"
#include "now_playing/now_playing_service.h"
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
using testing::StreamScript;
using Peer = NowPlayingServiceTestPeer;
using V = EncodableValue;

// A latch the test opens once; any number of waits pass after that.
struct Gate {
  void Open() { opened.set_value(); }
  void Wait() { open.wait(); }
  std::promise<void> opened;
  std::shared_future<void> open = opened.get_future().share();
};

// Virtual time, standing still. Each sleep starts, is counted, and ends only once the test has
// permitted it; it must last exactly one pause step.
class StepClock : public PollerClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return {}; }
  void SleepUntil(std::chrono::steady_clock::time_point deadline) override {
    EXPECT_TRUE(deadline.time_since_epoch() == std::chrono::milliseconds(100));
    std::unique_lock<std::mutex> lock(lock_);
    ++sleeps_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return permits_ > 0; });
    --permits_;
  }
  // Waits until `count` sleeps have begun: the pass before the last of them was published.
  void AwaitSleeps(int count) {
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [&] { return sleeps_ >= count; });
  }
  void Permit(int count) {
    std::lock_guard<std::mutex> lock(lock_);
    permits_ += count;
    changed_.notify_all();
  }
  void Free() { Permit(1 << 30); }
  int sleeps() {
    std::lock_guard<std::mutex> lock(lock_);
    return sleeps_;
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  int sleeps_ = 0;
  int64_t permits_ = 0;  // wide: a test may free the clock twice before a sleep takes one
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
  void SetUp() override { platform_.ports.clock.reset(clock_); }

  void TearDown() override {
    clock_->Free();
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
  StepClock* clock_ = new StepClock();  // the service's
  Gate gate_;                           // outlives the poller
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

TEST_F(ServiceTest, AnswersFollowWhatEachPassPublished) {
  platform_.media->SetScript(Song(u"Song", 3000));
  CreateService();
  Call(kStart);
  clock_->AwaitSleeps(1);
  const EncodableValue first = SongReply("Song", 3000);
  const std::string signature = SignatureOf(first);
  EXPECT_EQ(Call(kGetCurrent), Success(first));
  EXPECT_EQ(Call(GetCurrent(signature)), kNull);

  // An identical pass publishes the identical signature.
  clock_->Permit(10);
  clock_->AwaitSleeps(11);
  EXPECT_EQ(Call(GetCurrent(signature)), kNull);

  // A snapshot without artwork has no "artwork" key at all.
  platform_.media->SetScript(Song(u"Other", 0));
  clock_->Permit(10);
  clock_->AwaitSleeps(21);
  EXPECT_EQ(Call(GetCurrent(signature)), Success(SongReply("Other", 0)));

  // The media goes away: the empty marker once, then null for its empty signature.
  SessionScript gone;
  gone.fail = "GetCurrentSession=null";
  platform_.media->SetScript(gone);
  clock_->Permit(10);
  clock_->AwaitSleeps(31);
  EXPECT_EQ(Call(GetCurrent(SignatureOf(SongReply("Other", 0)))), kEmptyMarker);
  EXPECT_EQ(Call(GetCurrent("")), kNull);

  // A stop during a pause ends it before the next step.
  Peer::RequestStop(*service_);
  clock_->Free();
  Peer::StopPolling(*service_);
  EXPECT_EQ(clock_->sleeps(), 31);
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
  clock_->Permit(10);
  reading.Wait();
  Peer::RequestStop(*service_);
  platform_.media->SetScript(Song(u"Second", 0));
  resume.Open();
  Peer::StopPolling(*service_);
  EXPECT_EQ(Call(kGetCurrent), Success(SongReply("Second", 0)));
  EXPECT_EQ(clock_->sleeps(), 10);
}

// Under ThreadSanitizer: every answer pairs one pass's snapshot with that pass's signature.
TEST_F(ServiceTest, AnswersStayConsistentWhileThePollerPublishes) {
  platform_.media->on_pass = [&](int pass) {
    platform_.media->SetScript(pass % 3 == 0 ? SessionScript()
                                             : Song(pass % 3 == 1 ? u"A" : u"B", pass % 3 * 10));
  };
  clock_->Free();
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
