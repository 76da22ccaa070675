#include "testing/media_session/stream_objects.h"

#include <activation.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "testing/media_session/async_operation.h"

namespace orvane::testing::media_session {
namespace {

using Microsoft::WRL::ComPtr;
using namespace runtime::abi;

class StandinBuffer final : public Object<Counted, IBuffer, IBufferByteAccess> {
 public:
  explicit StandinBuffer(UINT32 capacity) : bytes_(capacity) {}

  HRESULT STDMETHODCALLTYPE get_Capacity(UINT32* value) override {
    return Get(nullptr, value, [&] { return static_cast<UINT32>(bytes_.size()); });
  }
  HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) override {
    return Get(nullptr, value, [&] { return length_; });
  }
  HRESULT STDMETHODCALLTYPE put_Length(UINT32 value) override {
    if (!Enter(nullptr)) return E_UNEXPECTED;
    if (value > bytes_.size()) {
      RecordUnexpected();
      return E_INVALIDARG;
    }
    length_ = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Buffer(BYTE** value) override {
    return Get(nullptr, value, [&] { return bytes_.data(); });
  }

 private:
  void OnFinalRelease() override { std::vector<BYTE>().swap(bytes_); }

  std::vector<BYTE> bytes_;
  UINT32 length_ = 0;
};

// Fills `buffer` (one of the stand-in's own) with `bytes`.
bool Fill(IBuffer* buffer, const BYTE* bytes, UINT32 length) {
  ComPtr<IBufferByteAccess> access;
  BYTE* target = nullptr;
  UINT32 capacity = 0;
  if (FAILED(buffer->QueryInterface(IBufferByteAccess::Iid(), &access)) ||
      FAILED(access->Buffer(&target)) || FAILED(buffer->get_Capacity(&capacity)) ||
      capacity < length) {
    return false;
  }
  std::memcpy(target, bytes, length);
  return SUCCEEDED(buffer->put_Length(length));
}

class Stream final : public Object<Scripted, IRandomAccessStreamWithContentType,
                                   IRandomAccessStream, IInputStream> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE get_Size(UINT64* value) override {
    return Get("get_Size", value, [&] { return script_->thumbnail.size(); });
  }
  HRESULT STDMETHODCALLTYPE put_Size(UINT64) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE GetInputStreamAt(UINT64, IInputStream**) override {
    return Unexpected();
  }
  HRESULT STDMETHODCALLTYPE GetOutputStreamAt(UINT64, IInspectable**) override {
    return Unexpected();
  }
  HRESULT STDMETHODCALLTYPE get_Position(UINT64*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE Seek(UINT64) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE CloneStream(IRandomAccessStream**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_CanRead(boolean*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_CanWrite(boolean*) override { return Unexpected(); }

  HRESULT STDMETHODCALLTYPE
  ReadAsync(IBuffer* buffer, UINT32 count, UINT32 options,
            IAsyncOperationWithProgress<IBuffer*, UINT32>** operation) override {
    if (!Enter("ReadAsync") || operation == nullptr) return E_UNEXPECTED;
    *operation = nullptr;
    UINT32 capacity = 0;
    if (buffer == nullptr || options != 0 || FAILED(buffer->get_Capacity(&capacity)) ||
        count > capacity) {
      RecordUnexpected();
      return E_INVALIDARG;
    }
    const std::vector<BYTE>& bytes = script_->thumbnail;
    const UINT32 delivered = std::min(count, static_cast<UINT32>(bytes.size()));
    ComPtr<IBuffer> target(buffer);
    if (script_->read_returns_other_buffer)
      target = runtime::Adopt<IBuffer>(new StandinBuffer(delivered));
    if (!Fill(target.Get(), bytes.data(), delivered)) {
      RecordUnexpected();
      return E_INVALIDARG;
    }
    if (script_->read_returns_no_buffer) target.Reset();
    *operation = MakeOperation<IAsyncOperationWithProgress<IBuffer*, UINT32>>(script_->read,
                                                                              std::move(target))
                     .Detach();
    return S_OK;
  }
};

class StreamReference final : public Object<Scripted, IRandomAccessStreamReference> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE
  OpenReadAsync(IAsyncOperation<IRandomAccessStreamWithContentType*>** operation) override {
    return Get("OpenReadAsync", operation, [&] {
      return MakeOperation<IAsyncOperation<IRandomAccessStreamWithContentType*>>(
                 script_->open,
                 runtime::Adopt<IRandomAccessStreamWithContentType>(new Stream(script_)))
          .Detach();
    });
  }
};

class DataReader final : public Object<Counted, IDataReader> {
 public:
  explicit DataReader(std::vector<BYTE> bytes) : bytes_(std::move(bytes)) {}

  HRESULT STDMETHODCALLTYPE get_UnconsumedBufferLength(UINT32* value) override {
    return Get("get_UnconsumedBufferLength", value,
               [&] { return static_cast<UINT32>(bytes_.size() - consumed_); });
  }
  HRESULT STDMETHODCALLTYPE get_UnicodeEncoding(INT32*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE put_UnicodeEncoding(INT32) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_ByteOrder(INT32*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE put_ByteOrder(INT32) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_InputStreamOptions(UINT32*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE put_InputStreamOptions(UINT32) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE ReadByte(BYTE*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE ReadBytes(UINT32 length, BYTE* value) override {
    if (!Enter("ReadBytes")) return E_UNEXPECTED;
    if (length > bytes_.size() - consumed_ || (value == nullptr && length > 0)) {
      RecordUnexpected();
      return static_cast<HRESULT>(0x8000000B);  // E_BOUNDS
    }
    std::memcpy(value, bytes_.data() + consumed_, length);
    consumed_ += length;
    return S_OK;
  }

 private:
  void OnFinalRelease() override { std::vector<BYTE>().swap(bytes_); }

  std::vector<BYTE> bytes_;
  size_t consumed_ = 0;
};

class BufferFactory final : public Factory<IBufferFactory> {
 public:
  BufferFactory() : Factory(nullptr) {}
  HRESULT STDMETHODCALLTYPE Create(UINT32 capacity, IBuffer** buffer) override {
    return Get("Create", buffer,
               [&] { return static_cast<IBuffer*>(new StandinBuffer(capacity)); });
  }
};

class DataReaderStatics final : public Factory<IDataReaderStatics> {
 public:
  DataReaderStatics() : Factory(nullptr) {}
  HRESULT STDMETHODCALLTYPE FromBuffer(IBuffer* buffer, IDataReader** reader) override {
    if (!Enter("FromBuffer") || reader == nullptr) return E_UNEXPECTED;
    *reader = nullptr;
    ComPtr<IBufferByteAccess> access;
    BYTE* bytes = nullptr;
    UINT32 length = 0;
    if (buffer == nullptr || FAILED(buffer->QueryInterface(IBufferByteAccess::Iid(), &access)) ||
        FAILED(access->Buffer(&bytes)) || FAILED(buffer->get_Length(&length))) {
      RecordUnexpected();
      return E_INVALIDARG;
    }
    *reader = new DataReader(std::vector<BYTE>(bytes, bytes + length));
    return S_OK;
  }
};

}  // namespace

ComPtr<IRandomAccessStreamReference> MakeThumbnail(std::shared_ptr<const Script> script) {
  return runtime::Adopt<IRandomAccessStreamReference>(new StreamReference(std::move(script)));
}

IActivationFactory* MakeBufferFactory() { return new BufferFactory(); }
IActivationFactory* MakeDataReaderStatics() { return new DataReaderStatics(); }

}  // namespace orvane::testing::media_session
