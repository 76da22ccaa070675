// The now-playing service's own work, each timed alternately with one memcpy of the snapshot
// reply's bytes in the same iterations (counters `memcpy_ratio` and `memcpy_us`): "getCurrent"
// answering null and answering a snapshot with 300 KB of artwork, both including the encoding of
// the reply; one poller pass over fakes; the classification over 200 recorded windows.
//
// glibc serves each 300 KB block with its own mmap and returns it at once, so every copy of the
// artwork then pays for fresh pages; the product's heap keeps such blocks. For figures of the
// host's own work run with
//   GLIBC_TUNABLES=glibc.malloc.mmap_threshold=4194304:glibc.malloc.trim_threshold=67108864

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client_wrapper/engine_method_result.h"
#include "client_wrapper/standard_method_codec.h"
#include "now_playing/media_snapshot.h"
#include "now_playing/now_playing_service.h"
#include "now_playing/source_classification.h"
#include "testing/now_playing_ports/fake_ports.h"

namespace {

using namespace orvane;               // NOLINT
using namespace orvane::now_playing;  // NOLINT
using Clock = std::chrono::steady_clock;

constexpr size_t kArtwork = 300 * 1024;

testing::SessionScript PlayingTrack() {
  testing::SessionScript script;
  script.title = u"Clair de Lune";
  script.artist = u"Claude Debussy";
  script.album = u"Suite bergamasque";
  script.application_id = u"Spotify.exe";
  script.thumbnail.emplace().bytes.assign(kArtwork, 0x5A);
  return script;
}

// Times `work` and a memcpy of `copy_size` bytes alternately; reports the work as the iteration.
void TimeBesideMemcpy(benchmark::State& state, size_t copy_size,
                      const std::function<void()>& work) {
  std::vector<uint8_t> source(copy_size, 1);
  std::vector<uint8_t> destination(copy_size);
  double work_seconds = 0;
  double memcpy_seconds = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    work();
    Clock::time_point middle = Clock::now();
    std::memcpy(destination.data(), source.data(), copy_size);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
    Clock::time_point end = Clock::now();
    double work_time = std::chrono::duration<double>(middle - start).count();
    work_seconds += work_time;
    memcpy_seconds += std::chrono::duration<double>(end - middle).count();
    state.SetIterationTime(work_time);
  }
  state.counters["memcpy_ratio"] = work_seconds / memcpy_seconds;
  state.counters["memcpy_us"] = memcpy_seconds * 1e6 / static_cast<double>(state.iterations());
}

class NoMessenger : public BinaryMessenger {
 public:
  void Send(const std::string&, const uint8_t*, size_t, ReplyCallback) override {}
  void SetMessageHandler(const std::string&, MessageHandler) override {}
};

// A service that has published one reading of the playing track.
struct PublishedService {
  // The poller stays in its first pause until the service goes.
  PublishedService() {
    platform.media->SetScript(PlayingTrack());
    service = std::make_unique<NowPlayingService>(&messenger, std::move(platform.ports));
    Answer(MethodCall("start", nullptr));
    platform.stop->AwaitWaits(1);
  }

  // The reply's bytes as the messenger would be handed them.
  std::vector<uint8_t> Answer(const MethodCall& call) {
    std::vector<uint8_t> bytes;
    service->HandleMethodCall(
        call, std::make_unique<EngineMethodResult>(
                  [&](const uint8_t* reply, size_t size) { bytes.assign(reply, reply + size); },
                  &StandardMethodCodec::Instance()));
    return bytes;
  }

  testing::FakePlatform platform;
  NoMessenger messenger;
  std::unique_ptr<NowPlayingService> service;
};

MethodCall GetCurrent(const std::string& since) {
  return MethodCall("getCurrent", std::make_unique<EncodableValue>(EncodableMap{
                                      {EncodableValue("since"), EncodableValue(since)}}));
}

size_t SnapshotReplySize(PublishedService& published) {
  return published.Answer(GetCurrent("stale")).size();
}

// The reply callback only looks at the bytes, as the engine library's copy is not the host's work.
void AnswerInto(PublishedService& published, const MethodCall& call) {
  published.service->HandleMethodCall(call, std::make_unique<EngineMethodResult>(
                                                [](const uint8_t* reply, size_t size) {
                                                  benchmark::DoNotOptimize(reply);
                                                  benchmark::DoNotOptimize(size);
                                                },
                                                &StandardMethodCodec::Instance()));
}

void BM_GetCurrentUnchanged(benchmark::State& state) {
  PublishedService published;
  testing::FakePlatform platform;
  platform.media->SetScript(PlayingTrack());
  const MethodCall call = GetCurrent(SnapshotSignature(*ReadMediaSnapshot(platform.ports)));
  TimeBesideMemcpy(state, published.Answer(call).size(), [&] { AnswerInto(published, call); });
}
BENCHMARK(BM_GetCurrentUnchanged)->UseManualTime()->Unit(benchmark::kNanosecond);

void BM_GetCurrentSnapshot300KB(benchmark::State& state) {
  PublishedService published;
  const MethodCall call = GetCurrent("stale");
  TimeBesideMemcpy(state, SnapshotReplySize(published), [&] { AnswerInto(published, call); });
}
BENCHMARK(BM_GetCurrentSnapshot300KB)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A pass's reading, signature and publication under a lock, with the fakes standing in for the
// platform (their copy of the artwork into the read buffer included).
void BM_PollerPass(benchmark::State& state) {
  PublishedService published;
  const size_t reply_size = SnapshotReplySize(published);
  testing::FakePlatform platform;
  platform.media->SetScript(PlayingTrack());
  std::mutex state_lock;
  std::optional<MediaSnapshot> latest;
  std::string signature;
  TimeBesideMemcpy(state, reply_size, [&] {
    std::optional<MediaSnapshot> reading = ReadMediaSnapshot(platform.ports);
    std::string text = reading ? SnapshotSignature(*reading) : std::string();
    std::lock_guard<std::mutex> lock(state_lock);
    std::swap(latest, reading);
    std::swap(signature, text);
  });
}
BENCHMARK(BM_PollerPass)->UseManualTime()->Unit(benchmark::kMicrosecond);

// An unrecognised player with 200 windows, a quarter of them browsers naming no site: both passes
// scan every window to the end.
void BM_Classify200Windows(benchmark::State& state) {
  PublishedService published;
  const size_t reply_size = SnapshotReplySize(published);
  testing::FakePlatform platform;
  for (uint32_t i = 0; i < 200; ++i) {
    const bool browser = i % 4 == 0;
    platform.windows->windows.push_back(testing::RecordedWindow{
        i % 3 != 2, i + 1,
        browser ? u"C:\\Program Files\\Browser\\Application\\chrome.exe"
                : u"C:\\Program Files\\Some Application\\application.exe",
        browser ? u"Reading the news - a fairly long tab title" : u"Document - Editor"});
  }
  TimeBesideMemcpy(state, reply_size, [&] {
    std::string label = ClassifySource(*platform.windows, u"VideoPlayer", u"Clair de Lune");
    benchmark::DoNotOptimize(label);
  });
}
BENCHMARK(BM_Classify200Windows)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
