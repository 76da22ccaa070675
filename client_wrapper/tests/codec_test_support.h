#pragma once

#include <cstdint>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/encodable_value.h"
#include "client_wrapper/standard_codec_serializer.h"

namespace orvane::testing {

using Bytes = std::vector<uint8_t>;

// `prefix` stands for what precedes the value in the message (its padding counts from there).
inline Bytes Encode(const EncodableValue& value, const Bytes& prefix = {}) {
  Bytes bytes = prefix;
  ByteBufferStreamWriter writer(&bytes);
  StandardCodecSerializer::Instance().WriteValue(value, &writer);
  return bytes;
}

inline EncodableValue Decode(const Bytes& bytes, size_t* location = nullptr) {
  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  EncodableValue value = StandardCodecSerializer::Instance().ReadValue(&reader);
  if (location != nullptr) *location = bytes.size() - reader.RemainingBytes();
  return value;
}

}  // namespace orvane::testing
