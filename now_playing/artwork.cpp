#include "now_playing/artwork.h"

#include <memory>

namespace orvane::now_playing {
namespace {

constexpr uint32_t kNoReadOptions = 0;

std::vector<uint8_t> ReadAll(StreamPlatform& streams, StreamReference& thumbnail) {
  PortResult<std::unique_ptr<ReadStream>> stream = thumbnail.OpenReadAsync();
  if (!stream.ok || !stream.value) return {};
  PortResult<uint64_t> size = stream.value->Size();
  if (!size.ok) return {};
  const auto count = static_cast<uint32_t>(size.value);
  if (count == 0) return {};
  PortResult<std::unique_ptr<StreamBuffer>> buffer = streams.CreateBuffer(count);
  if (!buffer.ok || !buffer.value) return {};
  // A stream may deliver its bytes in a buffer of its own rather than the one handed in: read
  // what the operation returned, or the buffer handed in when it returned none.
  PortResult<std::unique_ptr<StreamBuffer>> filled =
      stream.value->ReadAsync(*buffer.value, count, kNoReadOptions);
  if (!filled.ok) return {};
  PortResult<std::unique_ptr<StreamDataReader>> reader =
      streams.DataReaderFromBuffer(filled.value ? *filled.value : *buffer.value);
  if (!reader.ok || !reader.value) return {};
  PortResult<uint32_t> available = reader.value->UnconsumedBufferLength();
  // More than was asked for is no read of this stream: no artwork, and no allocation of that size.
  if (!available.ok || available.value > count) return {};
  std::vector<uint8_t> bytes(available.value);
  if (!bytes.empty() && !reader.value->ReadBytes(available.value, bytes.data())) return {};
  return bytes;
}

}  // namespace

std::vector<uint8_t> ReadThumbnailBytes(StreamPlatform& streams, StreamReference* thumbnail) {
  if (thumbnail == nullptr) return {};
  try {
    return ReadAll(streams, *thumbnail);
  } catch (...) {
    // Out of memory for the bytes, like any other failure, only costs the artwork.
    return {};
  }
}

}  // namespace orvane::now_playing
