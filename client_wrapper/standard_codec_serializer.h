#pragma once

#include <cstddef>
#include <cstdint>

#include "client_wrapper/byte_streams.h"
#include "client_wrapper/encodable_value.h"

namespace orvane {

// Writes and reads one EncodableValue in the standard message codec. Stateless. Nested values go
// through the virtual slots, so a derived serializer's own types also work inside lists and maps.
//
// Hostile input: an announced payload larger than what is left of the message is not allocated
// (see ReadValueOfType), lists and maps stop once the message is used up, and containers nest at
// most kMaxNestingDepth deep.
class StandardCodecSerializer {
 public:
  // The shared serializer: created on first use, thread-safe.
  static const StandardCodecSerializer& Instance();

  StandardCodecSerializer();
  virtual ~StandardCodecSerializer();

  StandardCodecSerializer(const StandardCodecSerializer&) = delete;
  StandardCodecSerializer& operator=(const StandardCodecSerializer&) = delete;

  virtual void WriteValue(const EncodableValue& value, ByteStreamWriter* writer) const;
  virtual EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader* reader) const;

  // The tag byte, then ReadValueOfType through the virtual slot.
  EncodableValue ReadValue(ByteStreamReader* reader) const;

  // A list or map this deep inside others reads as null (with the invalid-read line) and its
  // bytes are left unread, as with an unknown tag: keeps hostile nesting off the stack.
  static constexpr int kMaxNestingDepth = 256;
  // A payload announced past the end of the message is filled with zeros, as a short read, only
  // up to this many bytes; a larger one reads as empty. Either way one invalid-read line.
  static constexpr size_t kShortReadFillLimit = 1024;
};

// The size field: one byte below 254, else 254 and 2 bytes, else 255 and 4 bytes (little-endian).
void WriteSize(size_t size, ByteStreamWriter* writer);
// A failed read of the 2- or 4-byte form yields 0.
uint32_t ReadSize(ByteStreamReader* reader);

}  // namespace orvane
