#pragma once

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/encodable_value.h"
#include "client_wrapper/standard_codec_serializer.h"

namespace orvane::testing {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

inline const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";

// `prefix` stands for what precedes the value in the message (its padding counts from there).
inline Bytes Encode(
    const EncodableValue& value, const Bytes& prefix = {},
    const StandardCodecSerializer& serializer = StandardCodecSerializer::Instance()) {
  Bytes bytes = prefix;
  ByteBufferStreamWriter writer(&bytes);
  serializer.WriteValue(value, &writer);
  return bytes;
}

// Reads from `skip` on; `location` receives where the reading stopped.
inline EncodableValue Decode(
    const Bytes& bytes, size_t skip = 0, size_t* location = nullptr,
    const StandardCodecSerializer& serializer = StandardCodecSerializer::Instance()) {
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  for (size_t i = 0; i < skip; ++i) reader.ReadByte();
  EncodableValue value = serializer.ReadValue(&reader);
  if (location != nullptr) *location = bytes.size() - reader.RemainingBytes();
  return value;
}

// Collects the complete lines written to std::cerr while it lives.
class StderrCapture {
 public:
  StderrCapture() : previous_(std::cerr.rdbuf(buffer_.rdbuf())) {}
  ~StderrCapture() { std::cerr.rdbuf(previous_); }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  Lines Get() const {
    Lines lines;
    std::istringstream text(buffer_.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::ostringstream buffer_;
  std::streambuf* previous_;
};

}  // namespace orvane::testing
