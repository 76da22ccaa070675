#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "client_wrapper/byte_streams.h"

namespace orvane {

// Reads a borrowed buffer, which must outlive the reader.
class ByteBufferStreamReader : public ByteStreamReader {
 public:
  ByteBufferStreamReader(const uint8_t* bytes, size_t size);

  uint8_t ReadByte() override;
  void ReadBytes(uint8_t* destination, size_t length) override;
  void ReadAlignment(uint8_t alignment) override;
  size_t RemainingBytes() const override;
  const uint8_t* ReadInPlace(size_t length) override;

 private:
  const uint8_t* bytes_;
  size_t size_;
  // May pass the end after an alignment; every read fails from then on.
  size_t location_ = 0;
};

// Appends to a borrowed vector; its length is the write offset.
class ByteBufferStreamWriter : public ByteStreamWriter {
 public:
  explicit ByteBufferStreamWriter(std::vector<uint8_t>* buffer);

  void WriteByte(uint8_t byte) override;
  void WriteBytes(const uint8_t* source, size_t length) override;
  void WriteAlignment(uint8_t alignment) override;

 private:
  std::vector<uint8_t>* buffer_;
};

// The line every failed read writes.
void ReportInvalidRead() noexcept;

}  // namespace orvane
