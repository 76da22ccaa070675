#pragma once

// What the artwork reader asks of the platform's stream classes.
//
// Adapters: one method is one platform call, or one awaited asynchronous operation (block
// without a time limit until it completes; cancellation or an error is a failure; once the ports'
// StopSignal is set, cancel the operation and report a failure instead of waiting). Make no
// decisions: no size checks, no retries, no choice between buffers; report what the call
// reported. Every object is owned by the returned pointer and released (exactly once) by its
// destructor, on the thread that called the port. A method may be called on an object only while
// the caller holds it; objects passed in as arguments are borrowed for the call (take your own
// reference if the platform object must outlive it, as a data reader does with its buffer).
// Adapters recognise objects passed back to them as their own (a static downcast is enough: the
// core only ever passes objects that the same port produced).

#include <cstdint>
#include <memory>

#include "now_playing/port_result.h"

namespace orvane::now_playing {

// An IBuffer.
class StreamBuffer {
 public:
  virtual ~StreamBuffer() = default;
};

// An IDataReader over one buffer.
class StreamDataReader {
 public:
  virtual ~StreamDataReader() = default;
  // get_UnconsumedBufferLength.
  virtual PortResult<uint32_t> UnconsumedBufferLength() = 0;
  // ReadBytes(length, bytes): copies exactly `length` bytes into `bytes`; false on failure.
  virtual bool ReadBytes(uint32_t length, uint8_t* bytes) = 0;
};

// An IRandomAccessStreamWithContentType, opened for reading.
class ReadStream {
 public:
  virtual ~ReadStream() = default;
  // get_Size through the stream's IRandomAccessStream interface.
  virtual PortResult<uint64_t> Size() = 0;
  // ReadAsync(buffer, count, options) through the stream's IInputStream interface, awaited. The
  // value is the buffer that the completed operation returned (GetResults), which may be `buffer`
  // itself, another buffer, or null.
  virtual PortResult<std::unique_ptr<StreamBuffer>> ReadAsync(StreamBuffer& buffer, uint32_t count,
                                                              uint32_t options) = 0;
};

// An IRandomAccessStreamReference, such as a media thumbnail.
class StreamReference {
 public:
  virtual ~StreamReference() = default;
  // OpenReadAsync(), awaited.
  virtual PortResult<std::unique_ptr<ReadStream>> OpenReadAsync() = 0;
};

// The activatable stream classes.
class StreamPlatform {
 public:
  virtual ~StreamPlatform() = default;
  // Windows.Storage.Streams.Buffer through its IBufferFactory: Create(capacity).
  virtual PortResult<std::unique_ptr<StreamBuffer>> CreateBuffer(uint32_t capacity) = 0;
  // Windows.Storage.Streams.DataReader through IDataReaderStatics: FromBuffer(buffer).
  virtual PortResult<std::unique_ptr<StreamDataReader>> DataReaderFromBuffer(
      StreamBuffer& buffer) = 0;
};

}  // namespace orvane::now_playing
