#pragma once

// Windows.Storage.Streams interfaces that the cross compiler's platform headers lack (IBuffer and
// IBufferFactory come from them), plus the asynchronous-operation instances that return streams
// and buffers. Unused methods are declared only to keep the slots of later ones in place.
#include <windows.h>

#include <windows.storage.streams.h>

#include "now_playing/windows/runtime/foundation_abi.h"
#include "now_playing/windows/runtime/interface_id.h"

namespace orvane::runtime::abi {

constexpr wchar_t kBufferClass[] = L"Windows.Storage.Streams.Buffer";
constexpr wchar_t kDataReaderClass[] = L"Windows.Storage.Streams.DataReader";

using IBuffer = ABI::Windows::Storage::Streams::IBuffer;
using IBufferFactory = ABI::Windows::Storage::Streams::IBufferFactory;

struct IInputStream;

struct IRandomAccessStream : IInspectable {
  ORVANE_RUNTIME_IID(0x905a0fe1, 0xbc53, 0x11df, 0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda)
  virtual HRESULT STDMETHODCALLTYPE get_Size(UINT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Size(UINT64 value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInputStreamAt(UINT64 position, IInputStream** stream) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutputStreamAt(UINT64 position, IInspectable** stream) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Position(UINT64* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Seek(UINT64 position) = 0;
  virtual HRESULT STDMETHODCALLTYPE CloneStream(IRandomAccessStream** stream) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanRead(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanWrite(boolean* value) = 0;
};

struct IInputStream : IInspectable {
  ORVANE_RUNTIME_IID(0x905a0fe2, 0xbc53, 0x11df, 0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda)
  virtual HRESULT STDMETHODCALLTYPE
  ReadAsync(IBuffer* buffer, UINT32 count, UINT32 options,
            IAsyncOperationWithProgress<IBuffer*, UINT32>** operation) = 0;
};

// Has no methods of its own: it is queried for IRandomAccessStream and IInputStream.
struct IRandomAccessStreamWithContentType : IInspectable {
  ORVANE_RUNTIME_IID(0xcc254827, 0x4b3d, 0x438f, 0x92, 0x32, 0x10, 0xc7, 0x6b, 0xc7, 0xe0, 0x38)
};

struct IRandomAccessStreamReference : IInspectable {
  ORVANE_RUNTIME_IID(0x33ee3134, 0x1dd6, 0x4e3a, 0x80, 0x67, 0xd1, 0xc1, 0x62, 0xe8, 0x64, 0x2b)
  virtual HRESULT STDMETHODCALLTYPE
  OpenReadAsync(IAsyncOperation<IRandomAccessStreamWithContentType*>** operation) = 0;
};

struct IDataReader : IInspectable {
  ORVANE_RUNTIME_IID(0xe2b50029, 0xb4c1, 0x4314, 0xa4, 0xb8, 0xfb, 0x81, 0x3a, 0x2f, 0x27, 0x5e)
  virtual HRESULT STDMETHODCALLTYPE get_UnconsumedBufferLength(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UnicodeEncoding(INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UnicodeEncoding(INT32 value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ByteOrder(INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ByteOrder(INT32 value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_InputStreamOptions(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_InputStreamOptions(UINT32 value) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReadByte(BYTE* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReadBytes(UINT32 length, BYTE* value) = 0;
};

struct IDataReaderStatics : IInspectable {
  ORVANE_RUNTIME_IID(0x11fcbfc8, 0xf93a, 0x471b, 0xb1, 0x21, 0xf3, 0x79, 0xe3, 0x49, 0x31, 0x3c)
  virtual HRESULT STDMETHODCALLTYPE FromBuffer(IBuffer* buffer, IDataReader** reader) = 0;
};

// Direct access to a buffer's bytes (a plain COM interface, not a Runtime one).
struct IBufferByteAccess : IUnknown {
  ORVANE_RUNTIME_IID(0x905a0fef, 0xbc53, 0x11df, 0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda)
  virtual HRESULT STDMETHODCALLTYPE Buffer(BYTE** value) = 0;
};

template <>
struct AsyncIids<IAsyncOperation<IRandomAccessStreamWithContentType*>> {
  static constexpr IID operation = {
      0xc4a57c5e, 0x32b0, 0x55b3, {0xad, 0x13, 0xce, 0x1c, 0x23, 0x04, 0x1e, 0xd6}};
  static constexpr IID handler = {
      0x3dddecf4, 0x1d39, 0x58e8, {0x83, 0xb1, 0xdb, 0xed, 0x54, 0x1c, 0x7f, 0x35}};
};

template <>
struct AsyncIids<IAsyncOperationWithProgress<IBuffer*, UINT32>> {
  static constexpr IID operation = {
      0xd26b2819, 0x897f, 0x5c7d, {0x84, 0xd6, 0x56, 0xd7, 0x96, 0x56, 0x14, 0x31}};
  static constexpr IID handler = {
      0x06386a7a, 0xe009, 0x5b0b, {0xab, 0x68, 0xa8, 0xe4, 0x8b, 0x51, 0x66, 0x47}};
};

}  // namespace orvane::runtime::abi
