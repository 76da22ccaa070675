#include "now_playing/now_playing_service.h"

#include <chrono>
#include <utility>
#include <variant>

#include "client_wrapper/standard_method_codec.h"
#include "now_playing/poller.h"

namespace orvane::now_playing {
namespace {

// From the end of one pass to the start of the next.
constexpr std::chrono::milliseconds kPause{1000};

std::string Since(const MethodCall& call) {
  // Also none when the call has no arguments at all.
  const auto* map = std::get_if<EncodableMap>(call.arguments());
  if (map == nullptr) return std::string();
  auto entry = map->find(EncodableValue("since"));
  if (entry == map->end()) return std::string();
  const auto* since = entry->second.TryGet<std::string>();
  return since == nullptr ? std::string() : *since;
}

// The poller thread's apartment, left on every way out of the loop.
class Apartment {
 public:
  explicit Apartment(MediaPlatform& media) : media_(media), entered_(media.EnterPollerThread()) {}
  ~Apartment() {
    if (entered_) media_.LeavePollerThread();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  MediaPlatform& media_;
  const bool entered_;
};

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
  // Ends the pause, or a reading that waits for the platform, perhaps for ever.
  if (ports.stop) ports.stop->Set();
  if (worker.joinable()) worker.join();
}

void NowPlayingService::HandleMethodCall(const MethodCall& call,
                                         std::unique_ptr<MethodResult> result) {
  const std::string& method = call.method_name();
  if (method == "start") {
    // Without a stop nothing could end the poller: none runs, and every reading stays empty.
    if (ports.stop && !started.exchange(true)) {
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
  StopSignal& stop = *ports.stop;
  const Apartment apartment(*ports.media);
  while (!service->stop_requested.load()) {
    std::optional<MediaSnapshot> reading = ReadMediaSnapshot(ports);
    std::string text = PublishedSignature(reading);
    {
      std::lock_guard<std::mutex> lock(service->state_lock);
      // Swapped rather than assigned, so that the previous reading is freed after the lock.
      std::swap(service->latest, reading);
      std::swap(service->signature, text);
    }
    // A wake-up before the deadline waits again; the stop ends the pause at once, and so does
    // the flag, which is all there is when the stop itself cannot be waited on.
    const auto next_pass = stop.Now() + kPause;
    while (!service->stop_requested.load() && stop.Now() < next_pass) {
      if (stop.WaitUntil(next_pass)) return;
    }
  }
}

}  // namespace orvane::now_playing
