#pragma once

// The interfaces the Runtime layer declares for itself and the methods called through them (a
// method left out or misplaced before one of these moves its slot), each interface with the name
// widl gives it in C. Expanded once over widl's vtables (C) and once
// over the layer's declarations (C++); the two expansions must agree row for row.
//   I(key, widl's C name, the layer's type)   M(key, method)

#include <stddef.h>

#include <guiddef.h>

// clang-format off
#define ORVANE_WIDL_MEDIA(name) __x_ABI_CWindows_CMedia_CControl_C##name
#define ORVANE_WIDL_STREAMS(name) __x_ABI_CWindows_CStorage_CStreams_C##name
#define ORVANE_WIDL_MEDIA_ASYNC(prefix, name) prefix##_1_Windows__CMedia__CControl__C##name
#define ORVANE_WIDL_STREAMS_ASYNC(prefix, name) prefix##_Windows__CStorage__CStreams__C##name
#define ORVANE_RUNTIME_INTERFACES(I, M) \
  I(Statics, ORVANE_WIDL_MEDIA(IGlobalSystemMediaTransportControlsSessionManagerStatics), \
    IGlobalSystemMediaTransportControlsSessionManagerStatics) \
  M(Statics, RequestAsync) \
  I(Manager, ORVANE_WIDL_MEDIA(IGlobalSystemMediaTransportControlsSessionManager), \
    IGlobalSystemMediaTransportControlsSessionManager) \
  M(Manager, GetCurrentSession) \
  I(Session, ORVANE_WIDL_MEDIA(IGlobalSystemMediaTransportControlsSession), \
    IGlobalSystemMediaTransportControlsSession) \
  M(Session, get_SourceAppUserModelId) M(Session, TryGetMediaPropertiesAsync) \
  M(Session, GetPlaybackInfo) \
  I(Properties, ORVANE_WIDL_MEDIA(IGlobalSystemMediaTransportControlsSessionMediaProperties), \
    IGlobalSystemMediaTransportControlsSessionMediaProperties) \
  M(Properties, get_Title) M(Properties, get_Artist) M(Properties, get_AlbumTitle) \
  M(Properties, get_Thumbnail) \
  I(Playback, ORVANE_WIDL_MEDIA(IGlobalSystemMediaTransportControlsSessionPlaybackInfo), \
    IGlobalSystemMediaTransportControlsSessionPlaybackInfo) \
  M(Playback, get_PlaybackStatus) \
  I(ManagerOperation, \
    ORVANE_WIDL_MEDIA_ASYNC(__FIAsyncOperation, GlobalSystemMediaTransportControlsSessionManager), \
    IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>) \
  M(ManagerOperation, put_Completed) M(ManagerOperation, GetResults) \
  I(ManagerHandler, ORVANE_WIDL_MEDIA_ASYNC(__FIAsyncOperationCompletedHandler, \
                                            GlobalSystemMediaTransportControlsSessionManager), \
    AsyncOperationCompletedHandler<IGlobalSystemMediaTransportControlsSessionManager*>) \
  M(ManagerHandler, Invoke) \
  I(PropertiesOperation, \
    ORVANE_WIDL_MEDIA_ASYNC(__FIAsyncOperation, \
                            GlobalSystemMediaTransportControlsSessionMediaProperties), \
    IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>) \
  I(PropertiesHandler, \
    ORVANE_WIDL_MEDIA_ASYNC(__FIAsyncOperationCompletedHandler, \
                            GlobalSystemMediaTransportControlsSessionMediaProperties), \
    AsyncOperationCompletedHandler<IGlobalSystemMediaTransportControlsSessionMediaProperties*>) \
  I(RandomAccessStream, ORVANE_WIDL_STREAMS(IRandomAccessStream), IRandomAccessStream) \
  M(RandomAccessStream, get_Size) \
  I(InputStream, ORVANE_WIDL_STREAMS(IInputStream), IInputStream) M(InputStream, ReadAsync) \
  I(StreamWithContentType, ORVANE_WIDL_STREAMS(IRandomAccessStreamWithContentType), \
    IRandomAccessStreamWithContentType) \
  I(StreamReference, ORVANE_WIDL_STREAMS(IRandomAccessStreamReference), \
    IRandomAccessStreamReference) \
  M(StreamReference, OpenReadAsync) \
  I(DataReader, ORVANE_WIDL_STREAMS(IDataReader), IDataReader) \
  M(DataReader, get_UnconsumedBufferLength) M(DataReader, ReadBytes) \
  I(DataReaderStatics, ORVANE_WIDL_STREAMS(IDataReaderStatics), IDataReaderStatics) \
  M(DataReaderStatics, FromBuffer) \
  I(StreamOperation, \
    ORVANE_WIDL_STREAMS_ASYNC(__FIAsyncOperation_1, IRandomAccessStreamWithContentType), \
    IAsyncOperation<IRandomAccessStreamWithContentType*>) \
  I(StreamHandler, \
    ORVANE_WIDL_STREAMS_ASYNC(__FIAsyncOperationCompletedHandler_1, \
                              IRandomAccessStreamWithContentType), \
    AsyncOperationCompletedHandler<IRandomAccessStreamWithContentType*>) \
  I(ReadOperation, ORVANE_WIDL_STREAMS_ASYNC(__FIAsyncOperationWithProgress_2, IBuffer_UINT32), \
    IAsyncOperationWithProgress<IBuffer*, UINT32>) \
  M(ReadOperation, put_Completed) M(ReadOperation, GetResults) \
  I(ReadHandler, \
    ORVANE_WIDL_STREAMS_ASYNC(__FIAsyncOperationWithProgressCompletedHandler_2, IBuffer_UINT32), \
    AsyncOperationWithProgressCompletedHandler<IBuffer*, UINT32>) \
  M(ReadHandler, Invoke) \
  I(ByteAccess, IBufferByteAccess, IBufferByteAccess) M(ByteAccess, Buffer)
// clang-format on

#ifdef __cplusplus
extern "C" {
#endif

// One row: an interface's identifier (`method` null) or one method's slot.
struct RuntimeInterfaceRow {
  const char* key;
  const char* method;
  const GUID* iid;
  size_t slot;
};

// The rows as widl generated them.
extern const struct RuntimeInterfaceRow kWidlRows[];
extern const size_t kWidlRowCount;

#ifdef __cplusplus
}
#endif
