#include "client_wrapper/byte_buffer_streams.h"

#include <algorithm>
#include <cstring>

#include "client_wrapper/error_line.h"

namespace orvane {

void ReportInvalidRead() noexcept {
  WriteErrorLine("Invalid read in StandardCodecByteStreamReader");
}

ByteBufferStreamReader::ByteBufferStreamReader(const uint8_t* bytes, size_t size)
    : bytes_(bytes), size_(size) {}

uint8_t ByteBufferStreamReader::ReadByte() {
  if (location_ >= size_) {
    ReportInvalidRead();
    return 0;
  }
  return bytes_[location_++];
}

void ByteBufferStreamReader::ReadBytes(uint8_t* destination, size_t length) {
  const uint8_t* source = ReadInPlace(length);
  if (source == nullptr) {
    ReportInvalidRead();
    return;
  }
  if (length != 0) {
    std::memcpy(destination, source, length);
  }
}

void ByteBufferStreamReader::ReadAlignment(uint8_t alignment) {
  if (alignment == 0) {
    return;
  }
  size_t remainder = location_ % alignment;
  if (remainder != 0) {
    location_ += alignment - remainder;
  }
}

size_t ByteBufferStreamReader::RemainingBytes() const {
  return location_ < size_ ? size_ - location_ : 0;
}

const uint8_t* ByteBufferStreamReader::ReadInPlace(size_t length) {
  // Written so that a huge length cannot wrap around.
  if (location_ > size_ || length > size_ - location_) {
    return nullptr;
  }
  const uint8_t* start = bytes_ + location_;
  location_ += length;
  // A zero-length read of an empty buffer still succeeds; give a pointer that is not none.
  static const uint8_t kNothing = 0;
  return start != nullptr ? start : &kNothing;
}

ByteBufferStreamWriter::ByteBufferStreamWriter(std::vector<uint8_t>* buffer) : buffer_(buffer) {}

void ByteBufferStreamWriter::WriteByte(uint8_t byte) { buffer_->push_back(byte); }

void ByteBufferStreamWriter::WriteBytes(const uint8_t* source, size_t length) {
  size_t needed = buffer_->size() + length;
  if (needed > buffer_->capacity()) {
    // Room for what usually follows a large payload (the rest of a map), so that the payload is
    // not copied a second time when the vector grows again.
    buffer_->reserve(std::max(buffer_->capacity() * 2, needed + 4096));
  }
  buffer_->insert(buffer_->end(), source, source + length);
}

void ByteBufferStreamWriter::WriteAlignment(uint8_t alignment) {
  if (alignment == 0) {
    return;
  }
  size_t remainder = buffer_->size() % alignment;
  if (remainder != 0) {
    for (size_t i = remainder; i < alignment; ++i) {
      WriteByte(0);
    }
  }
}

}  // namespace orvane
