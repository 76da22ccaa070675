#pragma once

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/standard_codec_serializer.h"
#include "testing/recording_result.h"

namespace orvane::testing {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

inline const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";

// `prefix` stands for what precedes the value in the message (its padding counts from there).
inline Bytes Encode(const EncodableValue& value, Bytes prefix = {}) {
  ByteBufferStreamWriter writer(&prefix);
  StandardCodecSerializer::Instance().WriteValue(value, &writer);
  return prefix;
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

// Collects the lines written to std::cerr while it lives.
class StderrCapture {
 public:
  StderrCapture() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}
  ~StderrCapture() { std::cerr.rdbuf(previous_); }
  Lines Get() const {
    Lines lines;
    std::istringstream text(text_.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::ostringstream text_;
  std::streambuf* previous_;
};

}  // namespace orvane::testing
