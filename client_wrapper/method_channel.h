#pragma once

#include <functional>
#include <memory>
#include <string>

#include "client_wrapper/binary_messenger.h"
#include "client_wrapper/method_call.h"
#include "client_wrapper/method_codec.h"
#include "client_wrapper/method_result.h"

namespace orvane {

// Receives one call; answers through `result` now or later (the call itself is gone once the
// handler returns, so a later answer copies what it needs).
using MethodCallHandler =
    std::function<void(const MethodCall& call, std::unique_ptr<MethodResult> result)>;

// A named channel of method calls on a messenger. Destroying the channel leaves its handler
// registered; remove it with an empty handler.
class MethodChannel {
 public:
  // Neither the messenger nor the codec is owned.
  MethodChannel(BinaryMessenger* messenger, const std::string& name, const MethodCodec* codec);
  ~MethodChannel();

  MethodChannel(const MethodChannel&) = delete;
  MethodChannel& operator=(const MethodChannel&) = delete;

  // An empty handler unregisters the channel.
  void SetMethodCallHandler(MethodCallHandler handler) const;

 private:
  BinaryMessenger* messenger_;
  std::string name_;
  const MethodCodec* codec_;
};

}  // namespace orvane
