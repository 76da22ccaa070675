#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane {

// Reads the standard codec's bytes. Padding counts from the start of the whole message.
class ByteStreamReader {
 public:
  virtual ~ByteStreamReader() = default;
  // One byte, or 0 (with the invalid-read line) when none is left.
  virtual uint8_t ReadByte() = 0;
  // All `length` bytes or none (with the invalid-read line); nothing moves on failure.
  virtual void ReadBytes(uint8_t* destination, size_t length) = 0;
  // Skips to the next multiple of `alignment` without looking at the bytes.
  virtual void ReadAlignment(uint8_t alignment) = 0;
  // Bytes left to read; what a hostile size field is measured against.
  virtual size_t RemainingBytes() const = 0;
  // The next `length` bytes in place, advancing past them, or none (nothing moves, no line) when
  // fewer are left. Lets values be built with one copy straight from the message.
  virtual const uint8_t* ReadInPlace(size_t length) = 0;
};

// Writes the standard codec's bytes.
class ByteStreamWriter {
 public:
  virtual ~ByteStreamWriter() = default;
  virtual void WriteByte(uint8_t byte) = 0;
  virtual void WriteBytes(const uint8_t* source, size_t length) = 0;
  // Zero bytes up to the next multiple of `alignment` of the output length.
  virtual void WriteAlignment(uint8_t alignment) = 0;
};

}  // namespace orvane
