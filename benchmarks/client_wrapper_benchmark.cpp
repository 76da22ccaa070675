// The channel's hot paths: a now-playing reply with its cover art (encoded by the host, decoded
// here as the UI would), compared with one memcpy of the same bytes measured alongside it; and
// the small messages sent once a second.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/standard_codec_serializer.h"
#include "client_wrapper/standard_method_codec.h"

namespace {

using orvane::EncodableMap;
using orvane::EncodableValue;

EncodableValue NowPlayingReply() {
  std::vector<uint8_t> artwork(300 * 1024);
  for (size_t i = 0; i < artwork.size(); ++i) artwork[i] = static_cast<uint8_t>(i * 31);
  EncodableMap map;
  map[EncodableValue("title")] = EncodableValue("Clair de Lune");
  map[EncodableValue("artist")] = EncodableValue("Claude Debussy");
  map[EncodableValue("album")] = EncodableValue("Suite bergamasque");
  map[EncodableValue("source")] = EncodableValue("spotify");
  map[EncodableValue("isPlaying")] = EncodableValue(true);
  map[EncodableValue("artwork")] = EncodableValue(std::move(artwork));
  return EncodableValue(std::move(map));
}

// Reported as `memcpy_ratio`: the round trip's time over one memcpy of the encoded reply, the
// two timed alternately in the same iterations.
void BM_NowPlayingReplyRoundTrip(benchmark::State& state) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  const orvane::StandardCodecSerializer& serializer = orvane::StandardCodecSerializer::Instance();
  const EncodableValue reply = NowPlayingReply();
  const size_t encoded_size = codec.EncodeSuccessEnvelope(&reply)->size();
  std::vector<uint8_t> source(encoded_size, 1);
  std::vector<uint8_t> destination(encoded_size);

  using Clock = std::chrono::steady_clock;
  double round_trip_seconds = 0;
  double memcpy_seconds = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    auto encoded = codec.EncodeSuccessEnvelope(&reply);
    orvane::ByteBufferStreamReader reader(encoded->data(), encoded->size());
    reader.ReadByte();
    EncodableValue decoded = serializer.ReadValue(&reader);
    benchmark::DoNotOptimize(decoded);
    Clock::time_point middle = Clock::now();
    std::memcpy(destination.data(), source.data(), encoded_size);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
    Clock::time_point end = Clock::now();

    double round_trip = std::chrono::duration<double>(middle - start).count();
    round_trip_seconds += round_trip;
    memcpy_seconds += std::chrono::duration<double>(end - middle).count();
    state.SetIterationTime(round_trip);
  }
  state.counters["memcpy_ratio"] = round_trip_seconds / memcpy_seconds;
  state.counters["memcpy_us"] =
      benchmark::Counter(memcpy_seconds * 1e6 / static_cast<double>(state.iterations()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoded_size));
}
BENCHMARK(BM_NowPlayingReplyRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_NowPlayingReplyEncode(benchmark::State& state) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  const EncodableValue reply = NowPlayingReply();
  for (auto _ : state) {
    auto encoded = codec.EncodeSuccessEnvelope(&reply);
    benchmark::DoNotOptimize(encoded);
  }
}
BENCHMARK(BM_NowPlayingReplyEncode)->Unit(benchmark::kMicrosecond);

void BM_NowPlayingReplyDecode(benchmark::State& state) {
  const EncodableValue reply = NowPlayingReply();
  const auto encoded = orvane::StandardMethodCodec::Instance().EncodeSuccessEnvelope(&reply);
  for (auto _ : state) {
    orvane::ByteBufferStreamReader reader(encoded->data(), encoded->size());
    reader.ReadByte();
    EncodableValue decoded = orvane::StandardCodecSerializer::Instance().ReadValue(&reader);
    benchmark::DoNotOptimize(decoded);
  }
}
BENCHMARK(BM_NowPlayingReplyDecode)->Unit(benchmark::kMicrosecond);

void BM_MemcpyOfTheReply(benchmark::State& state) {
  const EncodableValue reply = NowPlayingReply();
  const size_t size = orvane::StandardMethodCodec::Instance().EncodeSuccessEnvelope(&reply)->size();
  std::vector<uint8_t> source(size, 1);
  std::vector<uint8_t> destination(size);
  for (auto _ : state) {
    std::memcpy(destination.data(), source.data(), size);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_MemcpyOfTheReply)->Unit(benchmark::kMicrosecond);

void BM_DecodeGetCurrentCall(benchmark::State& state) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  orvane::MethodCall call(
      "getCurrent", std::make_unique<EncodableValue>(EncodableMap{
                        {EncodableValue("since"), EncodableValue("Clair de Lune|Claude Debussy|"
                                                                 "Suite bergamasque|1|spotify")}}));
  const std::vector<uint8_t> message = *codec.EncodeMethodCall(call);
  for (auto _ : state) {
    auto decoded = codec.DecodeMethodCall(message.data(), message.size());
    benchmark::DoNotOptimize(decoded);
  }
}
BENCHMARK(BM_DecodeGetCurrentCall);

void BM_EncodeNullSuccessEnvelope(benchmark::State& state) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  for (auto _ : state) {
    auto encoded = codec.EncodeSuccessEnvelope(nullptr);
    benchmark::DoNotOptimize(encoded);
  }
}
BENCHMARK(BM_EncodeNullSuccessEnvelope);

}  // namespace
