#pragma once

#include "client_wrapper/method_codec.h"
#include "client_wrapper/standard_codec_serializer.h"

namespace orvane {

// Calls and envelopes as sequences of standard-codec values.
class StandardMethodCodec : public MethodCodec {
 public:
  // The one codec for `serializer` (none: the shared serializer). Codecs live until the process
  // ends. The registry itself is created thread-safely but is then meant for one thread.
  static const StandardMethodCodec& Instance(const StandardCodecSerializer* serializer = nullptr);

  explicit StandardMethodCodec(const StandardCodecSerializer* serializer);
  ~StandardMethodCodec() override;

  std::unique_ptr<MethodCall> DecodeMethodCall(const uint8_t* message,
                                               size_t message_size) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeMethodCall(
      const MethodCall& method_call) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeSuccessEnvelope(
      const EncodableValue* result) const override;
  std::unique_ptr<std::vector<uint8_t>> EncodeErrorEnvelope(
      const std::string& error_code, const std::string& error_message,
      const EncodableValue* error_details) const override;
  // An error envelope whose code is not a string, or whose message is neither a string nor null,
  // is not a valid envelope: false, and `result` is not called.
  bool DecodeResponseEnvelope(const uint8_t* response, size_t response_size,
                              MethodResult* result) const override;

 private:
  const StandardCodecSerializer* serializer_;
};

}  // namespace orvane
