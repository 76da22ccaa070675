#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "client_wrapper/binary_messenger.h"
#include "client_wrapper/method_call.h"
#include "client_wrapper/method_channel.h"
#include "client_wrapper/method_result.h"
#include "now_playing/media_snapshot.h"
#include "now_playing/now_playing_ports.h"

namespace orvane::now_playing {

inline constexpr char kNowPlayingChannel[] = "com.orvane.now_playing";

// Serves what the computer is playing on the channel above. Nothing runs until "start", which
// sets the poller thread going; destruction stops and joins it. Construct and destroy on the UI
// thread, and destroy before the messenger's engine goes.
class NowPlayingService {
 public:
  // The messenger is not owned. The host window passes its engine's messenger.
  NowPlayingService(BinaryMessenger* messenger, NowPlayingPorts ports);
  ~NowPlayingService();

  NowPlayingService(const NowPlayingService&) = delete;
  NowPlayingService& operator=(const NowPlayingService&) = delete;

  void HandleMethodCall(const MethodCall& call, std::unique_ptr<MethodResult> result);

 private:
  friend void PollLoop(NowPlayingService* service);
  friend class NowPlayingServiceTestPeer;

  // Sets `stop_requested` and the ports' stop signal, and waits for the poller to end.
  void StopPolling();

  NowPlayingPorts ports;
  std::unique_ptr<MethodChannel> channel;
  std::thread worker;
  std::atomic<bool> stop_requested{false};
  std::atomic<bool> started{false};
  std::mutex state_lock;
  std::optional<MediaSnapshot> latest;
  std::string signature;
};

}  // namespace orvane::now_playing
