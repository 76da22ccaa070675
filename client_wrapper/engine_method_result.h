#pragma once

#include <string>
#include <vector>

#include "client_wrapper/binary_messenger.h"
#include "client_wrapper/method_codec.h"
#include "client_wrapper/method_result.h"

namespace orvane {

// Passes one encoded answer to a reply closure, exactly once; reports a second answer and a
// call left unanswered.
class PendingReply {
 public:
  explicit PendingReply(ReplyCallback reply);
  // Unanswered: the memory-leak warning, and no response. Not so when an exception thrown by the
  // handler destroys it: the messenger reports that and sends the empty answer.
  ~PendingReply();

  PendingReply(const PendingReply&) = delete;
  PendingReply& operator=(const PendingReply&) = delete;

  // None (or no bytes) sends the empty, not-implemented answer.
  void SendResponse(const std::vector<uint8_t>* response);

 private:
  ReplyCallback reply_;
  int exceptions_at_creation_;
};

// The result handed to method-call handlers: encodes the answer with the channel's codec.
class EngineMethodResult : public MethodResult {
 public:
  EngineMethodResult(ReplyCallback reply, const MethodCodec* codec);
  ~EngineMethodResult() override;

  using MethodResult::Error;
  using MethodResult::Success;
  void Success(const EncodableValue* result) override;
  void Error(const std::string& error_code, const std::string& error_message,
             const EncodableValue* error_details) override;
  void NotImplemented() override;

 private:
  PendingReply reply_;
  const MethodCodec* codec_;
};

}  // namespace orvane
