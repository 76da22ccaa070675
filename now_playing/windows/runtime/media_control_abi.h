#pragma once

// Windows.Media.Control interfaces (absent from the cross compiler's platform headers) and the
// asynchronous-operation instances that return them. Unused methods are declared only to keep
// the slots of later ones in place; trailing unused methods are left out.
#include <windows.h>

#include "now_playing/windows/runtime/foundation_abi.h"
#include "now_playing/windows/runtime/interface_id.h"
#include "now_playing/windows/runtime/storage_streams_abi.h"

namespace orvane::runtime::abi {

constexpr wchar_t kSessionManagerClass[] =
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

// PlaybackStatus values: Closed 0, Opened 1, Changing 2, Stopped 3, Playing 4, Paused 5.
constexpr INT32 kPlaybackStatusPlaying = 4;
constexpr INT32 kPlaybackStatusPaused = 5;

struct IGlobalSystemMediaTransportControlsSessionMediaProperties : IInspectable {
  ORVANE_RUNTIME_IID(0x68856cf6, 0xadb4, 0x54b2, 0xac, 0x16, 0x05, 0x83, 0x79, 0x07, 0xac, 0xb6)
  virtual HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TrackNumber(INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Genres(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTrackCount(INT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Thumbnail(IRandomAccessStreamReference** value) = 0;
};

struct IGlobalSystemMediaTransportControlsSessionPlaybackInfo : IInspectable {
  ORVANE_RUNTIME_IID(0x94b4b6cf, 0xe8ba, 0x51ad, 0x87, 0xa7, 0xc1, 0x0a, 0xde, 0x10, 0x61, 0x27)
  virtual HRESULT STDMETHODCALLTYPE get_Controls(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackStatus(INT32* value) = 0;
};

struct IGlobalSystemMediaTransportControlsSession : IInspectable {
  ORVANE_RUNTIME_IID(0x7148c835, 0x9b14, 0x5ae2, 0xab, 0x85, 0xdc, 0x9b, 0x1c, 0x14, 0xe1, 0xa8)
  virtual HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetMediaPropertiesAsync(
      IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTimelineProperties(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  GetPlaybackInfo(IGlobalSystemMediaTransportControlsSessionPlaybackInfo** value) = 0;
};

struct IGlobalSystemMediaTransportControlsSessionManager : IInspectable {
  ORVANE_RUNTIME_IID(0xcace8eac, 0xe86e, 0x504a, 0xab, 0x31, 0x5f, 0xf8, 0xff, 0x1b, 0xce, 0x49)
  virtual HRESULT STDMETHODCALLTYPE
  GetCurrentSession(IGlobalSystemMediaTransportControlsSession** session) = 0;
};

struct IGlobalSystemMediaTransportControlsSessionManagerStatics : IInspectable {
  ORVANE_RUNTIME_IID(0x2050c4ee, 0x11a0, 0x57de, 0xae, 0xd7, 0xc9, 0x7c, 0x70, 0x33, 0x82, 0x45)
  virtual HRESULT STDMETHODCALLTYPE
  RequestAsync(IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>** operation) = 0;
};

template <>
struct AsyncIids<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>> {
  static constexpr IID operation = {
      0x3eec115e, 0x7346, 0x5c27, {0x8c, 0x5f, 0xda, 0x78, 0x51, 0x4a, 0x27, 0x7b}};
  static constexpr IID handler = {
      0x10f0074e, 0x923d, 0x5510, {0x8f, 0x4a, 0xdd, 0xe3, 0x77, 0x54, 0xca, 0x0e}};
};

template <>
struct AsyncIids<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>> {
  static constexpr IID operation = {
      0xb185e6f3, 0xe0d8, 0x51cb, {0x91, 0x3f, 0xc9, 0x8d, 0x48, 0xc9, 0x3c, 0x46}};
  static constexpr IID handler = {
      0x84593a3d, 0x951a, 0x55b6, {0x83, 0x53, 0x52, 0x05, 0xe5, 0x77, 0x79, 0x7b}};
};

}  // namespace orvane::runtime::abi
