#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client_wrapper/encodable_value.h"
#include "client_wrapper/method_call.h"
#include "client_wrapper/method_result.h"

namespace orvane {

// Lays method calls and their reply envelopes out as bytes.
class MethodCodec {
 public:
  MethodCodec() = default;
  virtual ~MethodCodec() = default;

  MethodCodec(const MethodCodec&) = delete;
  MethodCodec& operator=(const MethodCodec&) = delete;

  // None when the bytes do not start with a method name.
  virtual std::unique_ptr<MethodCall> DecodeMethodCall(const uint8_t* message,
                                                       size_t message_size) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeMethodCall(
      const MethodCall& method_call) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeSuccessEnvelope(
      const EncodableValue* result) const = 0;
  virtual std::unique_ptr<std::vector<uint8_t>> EncodeErrorEnvelope(
      const std::string& error_code, const std::string& error_message,
      const EncodableValue* error_details) const = 0;
  // Hands the envelope's answer to `result`; false (and `result` untouched) when the bytes are
  // no envelope.
  virtual bool DecodeResponseEnvelope(const uint8_t* response, size_t response_size,
                                      MethodResult* result) const = 0;
};

}  // namespace orvane
