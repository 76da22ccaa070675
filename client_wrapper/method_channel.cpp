#include "client_wrapper/method_channel.h"

#include <utility>

#include "client_wrapper/engine_method_result.h"
#include "client_wrapper/error_line.h"

namespace orvane {

MethodChannel::MethodChannel(BinaryMessenger* messenger, const std::string& name,
                             const MethodCodec* codec)
    : messenger_(messenger), name_(name), codec_(codec) {}

MethodChannel::~MethodChannel() = default;

void MethodChannel::SetMethodCallHandler(MethodCallHandler handler) const {
  if (!handler) {
    messenger_->SetMessageHandler(name_, nullptr);
    return;
  }
  const MethodCodec* codec = codec_;
  std::string channel_name = name_;
  messenger_->SetMessageHandler(
      name_, [handler = std::move(handler), codec, channel_name](
                 const uint8_t* message, size_t message_size, ReplyCallback reply) {
        auto result = std::make_unique<EngineMethodResult>(std::move(reply), codec);
        std::unique_ptr<MethodCall> call = codec->DecodeMethodCall(message, message_size);
        if (!call) {
          WriteErrorLine("Unable to construct method call from message on channel ", channel_name);
          result->NotImplemented();
          return;
        }
        handler(*call, std::move(result));
      });
}

}  // namespace orvane
