#include "now_playing/now_playing_service.h"

#include <chrono>
#include <utility>
#include <variant>

#include "client_wrapper/standard_method_codec.h"
#include "now_playing/poller.h"

namespace orvane::now_playing {
namespace {

constexpr int kPauseSteps = 10;
constexpr std::chrono::nanoseconds kPauseStep{100'000'000};

std::string Since(const MethodCall& call) {
  // Also none when the call has no arguments at all.
  const auto* map = std::get_if<EncodableMap>(call.arguments());
  if (map == nullptr) return std::string();
  auto entry = map->find(EncodableValue("since"));
  if (entry == map->end()) return std::string();
  const auto* since = entry->second.TryGet<std::string>();
  return since == nullptr ? std::string() : *since;
}

EncodableValue EmptyMarker() {
  EncodableMap marker;
  marker[EncodableValue("empty")] = EncodableValue(true);
  marker[EncodableValue("signature")] = EncodableValue("");
  return EncodableValue(std::move(marker));
}

}  // namespace

NowPlayingService::NowPlayingService(BinaryMessenger* messenger, NowPlayingPorts ports)
    : ports(std::move(ports)),
      channel(std::make_unique<MethodChannel>(messenger, kNowPlayingChannel,
                                              &StandardMethodCodec::Instance())) {
  channel->SetMethodCallHandler(
      [this](const MethodCall& call, std::unique_ptr<MethodResult> result) {
        HandleMethodCall(call, std::move(result));
      });
}

NowPlayingService::~NowPlayingService() {
  StopPolling();
  // The messenger would otherwise keep handing messages to this destroyed service until the
  // engine goes.
  channel->SetMethodCallHandler(nullptr);
  signature = std::string();
  latest.reset();
  channel.reset();
}

void NowPlayingService::StopPolling() {
  stop_requested.exchange(true);
  // A reading may be waiting for the platform, perhaps for ever.
  if (ports.stop) ports.stop();
  if (worker.joinable()) worker.join();
}

void NowPlayingService::HandleMethodCall(const MethodCall& call,
                                         std::unique_ptr<MethodResult> result) {
  const std::string& method = call.method_name();
  if (method == "start") {
    if (!started.exchange(true)) {
      try {
        worker = ports.start_thread([this] { PollLoop(this); });
      } catch (...) {
        // No thread: let a later "start" try again.
        started.exchange(false);
        result->Success(EncodableValue(false));
        return;
      }
    }
    result->Success(EncodableValue(true));
  } else if (method == "getCurrent") {
    const std::string since = Since(call);
    std::lock_guard<std::mutex> lock(state_lock);
    if (since == signature) {
      result->Success();
    } else if (latest) {
      EncodableMap reply = *latest;
      reply[EncodableValue("signature")] = EncodableValue(signature);
      result->Success(EncodableValue(std::move(reply)));
    } else {
      result->Success(EmptyMarker());
    }
  } else {
    result->NotImplemented();
  }
}

void PollLoop(NowPlayingService* service) {
  NowPlayingPorts& ports = service->ports;
  ports.media->EnterPollerThread();
  while (!service->stop_requested.load()) {
    std::optional<MediaSnapshot> reading = ReadMediaSnapshot(ports);
    std::string text = PublishedSignature(reading);
    {
      std::lock_guard<std::mutex> lock(service->state_lock);
      // Swapped rather than assigned, so that the previous reading is freed after the lock.
      std::swap(service->latest, reading);
      std::swap(service->signature, text);
    }
    for (int step = 0; step < kPauseSteps && !service->stop_requested.load(); ++step) {
      ports.clock->SleepUntil(ports.clock->Now() + kPauseStep);
    }
  }
}

}  // namespace orvane::now_playing
