#include "now_playing/windows/stream_adapter.h"

#include "now_playing/windows/port_results.h"
#include "now_playing/windows/runtime/activation.h"
#include "now_playing/windows/runtime/await.h"

namespace orvane::now_playing::windows {
namespace {

using Microsoft::WRL::ComPtr;
using namespace runtime::abi;

class BufferAdapter final : public StreamBuffer {
 public:
  explicit BufferAdapter(ComPtr<IBuffer> buffer) : buffer(std::move(buffer)) {}
  const ComPtr<IBuffer> buffer;
};

IBuffer* Unwrap(StreamBuffer& buffer) { return static_cast<BufferAdapter&>(buffer).buffer.Get(); }

class DataReaderAdapter final : public StreamDataReader {
 public:
  explicit DataReaderAdapter(ComPtr<IDataReader> reader) : reader_(std::move(reader)) {}
  PortResult<uint32_t> UnconsumedBufferLength() override {
    UINT32 length = 0;
    const HRESULT hr = reader_->get_UnconsumedBufferLength(&length);
    return FromCall<uint32_t>(hr, length);
  }
  bool ReadBytes(uint32_t length, uint8_t* bytes) override {
    return SUCCEEDED(reader_->ReadBytes(length, bytes));
  }

 private:
  const ComPtr<IDataReader> reader_;
};

class ReadStreamAdapter final : public ReadStream {
 public:
  ReadStreamAdapter(ComPtr<IRandomAccessStreamWithContentType> stream, SharedStop stop)
      : stream_(std::move(stream)), stop_(std::move(stop)) {}
  PortResult<uint64_t> Size() override {
    ComPtr<IRandomAccessStream> random_access;
    UINT64 size = 0;
    HRESULT hr = runtime::Query(stream_, &random_access);
    if (SUCCEEDED(hr)) hr = random_access->get_Size(&size);
    return FromCall<uint64_t>(hr, size);
  }
  PortResult<std::unique_ptr<StreamBuffer>> ReadAsync(StreamBuffer& buffer, uint32_t count,
                                                      uint32_t options) override {
    ComPtr<IInputStream> input;
    ComPtr<IAsyncOperationWithProgress<IBuffer*, UINT32>> read;
    ComPtr<IBuffer> filled;
    HRESULT hr = runtime::Query(stream_, &input);
    if (SUCCEEDED(hr)) hr = input->ReadAsync(Unwrap(buffer), count, options, &read);
    if (SUCCEEDED(hr)) hr = runtime::Await(read, &filled, EventOf(stop_));
    return FromObjectCall<StreamBuffer, BufferAdapter>(hr, std::move(filled));
  }

 private:
  const ComPtr<IRandomAccessStreamWithContentType> stream_;
  const SharedStop stop_;
};

class StreamReferenceAdapter final : public StreamReference {
 public:
  StreamReferenceAdapter(ComPtr<IRandomAccessStreamReference> reference, SharedStop stop)
      : reference_(std::move(reference)), stop_(std::move(stop)) {}
  PortResult<std::unique_ptr<ReadStream>> OpenReadAsync() override {
    ComPtr<IAsyncOperation<IRandomAccessStreamWithContentType*>> open;
    ComPtr<IRandomAccessStreamWithContentType> stream;
    HRESULT hr = reference_->OpenReadAsync(&open);
    if (SUCCEEDED(hr)) hr = runtime::Await(open, &stream, EventOf(stop_));
    return FromObjectCall<ReadStream, ReadStreamAdapter>(hr, std::move(stream), stop_);
  }

 private:
  const ComPtr<IRandomAccessStreamReference> reference_;
  const SharedStop stop_;
};

class StreamPlatformAdapter final : public StreamPlatform {
 public:
  PortResult<std::unique_ptr<StreamBuffer>> CreateBuffer(uint32_t capacity) override {
    ComPtr<IBufferFactory> factory;
    ComPtr<IBuffer> buffer;
    HRESULT hr = runtime::GetActivationFactory(kBufferClass, &factory);
    if (SUCCEEDED(hr)) hr = factory->Create(capacity, &buffer);
    return FromObjectCall<StreamBuffer, BufferAdapter>(hr, std::move(buffer));
  }
  PortResult<std::unique_ptr<StreamDataReader>> DataReaderFromBuffer(
      StreamBuffer& buffer) override {
    ComPtr<IDataReaderStatics> statics;
    ComPtr<IDataReader> reader;
    HRESULT hr = runtime::GetActivationFactory(kDataReaderClass, &statics);
    if (SUCCEEDED(hr)) hr = statics->FromBuffer(Unwrap(buffer), &reader);
    return FromObjectCall<StreamDataReader, DataReaderAdapter>(hr, std::move(reader));
  }
};

}  // namespace

std::unique_ptr<StreamPlatform> MakeStreamPlatform() {
  return std::make_unique<StreamPlatformAdapter>();
}

std::unique_ptr<StreamReference> WrapStreamReference(ComPtr<IRandomAccessStreamReference> reference,
                                                     SharedStop stop) {
  if (!reference) return nullptr;
  return std::make_unique<StreamReferenceAdapter>(std::move(reference), std::move(stop));
}

}  // namespace orvane::now_playing::windows
