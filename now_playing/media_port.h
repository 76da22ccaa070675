#pragma once

// What the poller asks of the platform's media-transport controls.
//
// Adapters: one method is one platform call, or one awaited asynchronous operation (block
// without a time limit until it completes; cancellation or an error is a failure; once the ports'
// StopSignal is set, cancel the operation and report a failure instead of waiting). Make no
// decisions: no status mapping, no empty-text rules, no retries; report what the call reported,
// null objects included. Every object is owned by the returned pointer and released (exactly
// once) by its destructor. All calls, releases included, happen on the poller thread, after
// EnterPollerThread and before LeavePollerThread; no object outlives the pass that obtained it.

#include <cstdint>
#include <memory>
#include <string>

#include "now_playing/port_result.h"
#include "now_playing/stream_port.h"

namespace orvane::now_playing {

// PlaybackStatus values of the platform's enumeration.
enum : int32_t {
  kPlaybackClosed = 0,
  kPlaybackOpened = 1,
  kPlaybackChanging = 2,
  kPlaybackStopped = 3,
  kPlaybackPlaying = 4,
  kPlaybackPaused = 5,
};

// A GlobalSystemMediaTransportControlsSessionPlaybackInfo.
class MediaPlaybackInfo {
 public:
  virtual ~MediaPlaybackInfo() = default;
  // get_PlaybackStatus, the enumeration's value as the platform gives it.
  virtual PortResult<int32_t> PlaybackStatus() = 0;
};

// A GlobalSystemMediaTransportControlsSessionMediaProperties. Texts are UTF-16 units exactly as
// the platform gave them (a null string is empty).
class MediaProperties {
 public:
  virtual ~MediaProperties() = default;
  virtual PortResult<std::u16string> Title() = 0;
  virtual PortResult<std::u16string> Artist() = 0;
  virtual PortResult<std::u16string> AlbumTitle() = 0;
  // get_Thumbnail; null when there is none.
  virtual PortResult<std::unique_ptr<StreamReference>> Thumbnail() = 0;
};

// A GlobalSystemMediaTransportControlsSession.
class MediaSession {
 public:
  virtual ~MediaSession() = default;
  // get_SourceAppUserModelId.
  virtual PortResult<std::u16string> SourceAppUserModelId() = 0;
  // TryGetMediaPropertiesAsync(), awaited; the result may be null.
  virtual PortResult<std::unique_ptr<MediaProperties>> TryGetMediaProperties() = 0;
  // GetPlaybackInfo(); may be null.
  virtual PortResult<std::unique_ptr<MediaPlaybackInfo>> GetPlaybackInfo() = 0;
};

// A GlobalSystemMediaTransportControlsSessionManager.
class MediaSessionManager {
 public:
  virtual ~MediaSessionManager() = default;
  // GetCurrentSession(); null when nothing has a session.
  virtual PortResult<std::unique_ptr<MediaSession>> GetCurrentSession() = 0;
};

class MediaPlatform {
 public:
  virtual ~MediaPlatform() = default;
  // Called once, first, on the poller thread: CoInitializeEx(nullptr, COINIT_MULTITHREADED). True
  // when it succeeded; a failure is otherwise ignored.
  virtual bool EnterPollerThread() = 0;
  // CoUninitialize, last, on the poller thread, once for an EnterPollerThread that succeeded.
  virtual void LeavePollerThread() = 0;
  // The session manager's statics (activation factory), then RequestAsync(), awaited.
  virtual PortResult<std::unique_ptr<MediaSessionManager>> RequestSessionManager() = 0;
};

}  // namespace orvane::now_playing
