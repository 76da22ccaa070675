#include "client_wrapper/engine_method_result.h"

#include <exception>
#include <utility>

#include "client_wrapper/error_line.h"

namespace orvane {

PendingReply::PendingReply(ReplyCallback reply)
    : reply_(std::move(reply)), exceptions_at_creation_(std::uncaught_exceptions()) {}

PendingReply::~PendingReply() {
  if (reply_ && std::uncaught_exceptions() <= exceptions_at_creation_) {
    WriteErrorLine("Warning: Failed to respond to a message. This is a memory leak.");
  }
}

void PendingReply::SendResponse(const std::vector<uint8_t>* response) {
  if (!reply_) {
    WriteErrorLine("Error: Only one of Success, Error, or NotImplemented can be called,",
                   " and it can be called exactly once. Ignoring duplicate result.");
    return;
  }
  const uint8_t* data = response != nullptr && !response->empty() ? response->data() : nullptr;
  size_t size = response != nullptr ? response->size() : 0;
  // Emptied before the call, so an answer given from inside the reply still counts as a second.
  ReplyCallback reply = std::move(reply_);
  reply_ = nullptr;
  reply(data, size);
}

EngineMethodResult::EngineMethodResult(ReplyCallback reply, const MethodCodec* codec)
    : reply_(std::move(reply)), codec_(codec) {}

EngineMethodResult::~EngineMethodResult() = default;

void EngineMethodResult::Success(const EncodableValue* result) {
  auto encoded = codec_->EncodeSuccessEnvelope(result);
  reply_.SendResponse(encoded.get());
}

void EngineMethodResult::Error(const std::string& error_code, const std::string& error_message,
                               const EncodableValue* error_details) {
  auto encoded = codec_->EncodeErrorEnvelope(error_code, error_message, error_details);
  reply_.SendResponse(encoded.get());
}

void EngineMethodResult::NotImplemented() { reply_.SendResponse(nullptr); }

}  // namespace orvane
