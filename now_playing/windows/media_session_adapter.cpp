#include "now_playing/windows/media_session_adapter.h"

#include <objbase.h>

#include "now_playing/windows/port_results.h"
#include "now_playing/windows/runtime/activation.h"
#include "now_playing/windows/runtime/await.h"
#include "now_playing/windows/runtime/holders.h"
#include "now_playing/windows/runtime/media_control_abi.h"
#include "now_playing/windows/stream_adapter.h"

namespace orvane::now_playing::windows {
namespace {

using Microsoft::WRL::ComPtr;
using runtime::HString;
using namespace runtime::abi;

class PlaybackInfoAdapter final : public MediaPlaybackInfo {
 public:
  explicit PlaybackInfoAdapter(ComPtr<IGlobalSystemMediaTransportControlsSessionPlaybackInfo> info)
      : info_(std::move(info)) {}
  PortResult<int32_t> PlaybackStatus() override {
    INT32 status = 0;
    const HRESULT hr = info_->get_PlaybackStatus(&status);
    return FromCall<int32_t>(hr, status);
  }

 private:
  const ComPtr<IGlobalSystemMediaTransportControlsSessionPlaybackInfo> info_;
};

class PropertiesAdapter final : public MediaProperties {
 public:
  PropertiesAdapter(ComPtr<IGlobalSystemMediaTransportControlsSessionMediaProperties> properties,
                    HANDLE stop)
      : properties_(std::move(properties)), stop_(stop) {}
  PortResult<std::u16string> Title() override {
    HString text;
    const HRESULT hr = properties_->get_Title(text.GetAddressOf());
    return FromCall(hr, ToUtf16(text));
  }
  PortResult<std::u16string> Artist() override {
    HString text;
    const HRESULT hr = properties_->get_Artist(text.GetAddressOf());
    return FromCall(hr, ToUtf16(text));
  }
  PortResult<std::u16string> AlbumTitle() override {
    HString text;
    const HRESULT hr = properties_->get_AlbumTitle(text.GetAddressOf());
    return FromCall(hr, ToUtf16(text));
  }
  PortResult<std::unique_ptr<StreamReference>> Thumbnail() override {
    ComPtr<IRandomAccessStreamReference> thumbnail;
    const HRESULT hr = properties_->get_Thumbnail(&thumbnail);
    return FromCall(hr, WrapStreamReference(std::move(thumbnail), stop_));
  }

 private:
  const ComPtr<IGlobalSystemMediaTransportControlsSessionMediaProperties> properties_;
  const HANDLE stop_;
};

class SessionAdapter final : public MediaSession {
 public:
  SessionAdapter(ComPtr<IGlobalSystemMediaTransportControlsSession> session, HANDLE stop)
      : session_(std::move(session)), stop_(stop) {}
  PortResult<std::u16string> SourceAppUserModelId() override {
    HString text;
    const HRESULT hr = session_->get_SourceAppUserModelId(text.GetAddressOf());
    return FromCall(hr, ToUtf16(text));
  }
  PortResult<std::unique_ptr<MediaProperties>> TryGetMediaProperties() override {
    ComPtr<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>> request;
    ComPtr<IGlobalSystemMediaTransportControlsSessionMediaProperties> properties;
    HRESULT hr = session_->TryGetMediaPropertiesAsync(&request);
    if (SUCCEEDED(hr)) hr = runtime::Await(request, &properties, stop_);
    return FromObjectCall<MediaProperties, PropertiesAdapter>(hr, std::move(properties), stop_);
  }
  PortResult<std::unique_ptr<MediaPlaybackInfo>> GetPlaybackInfo() override {
    ComPtr<IGlobalSystemMediaTransportControlsSessionPlaybackInfo> info;
    const HRESULT hr = session_->GetPlaybackInfo(&info);
    return FromObjectCall<MediaPlaybackInfo, PlaybackInfoAdapter>(hr, std::move(info));
  }

 private:
  const ComPtr<IGlobalSystemMediaTransportControlsSession> session_;
  const HANDLE stop_;
};

class ManagerAdapter final : public MediaSessionManager {
 public:
  ManagerAdapter(ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager, HANDLE stop)
      : manager_(std::move(manager)), stop_(stop) {}
  PortResult<std::unique_ptr<MediaSession>> GetCurrentSession() override {
    ComPtr<IGlobalSystemMediaTransportControlsSession> session;
    const HRESULT hr = manager_->GetCurrentSession(&session);
    return FromObjectCall<MediaSession, SessionAdapter>(hr, std::move(session), stop_);
  }

 private:
  const ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager_;
  const HANDLE stop_;
};

class MediaPlatformAdapter final : public MediaPlatform {
 public:
  explicit MediaPlatformAdapter(HANDLE stop) : stop_(stop) {}
  void EnterPollerThread() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
  PortResult<std::unique_ptr<MediaSessionManager>> RequestSessionManager() override {
    ComPtr<IGlobalSystemMediaTransportControlsSessionManagerStatics> statics;
    ComPtr<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>> request;
    ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager;
    HRESULT hr = runtime::GetActivationFactory(kSessionManagerClass, &statics);
    if (SUCCEEDED(hr)) hr = statics->RequestAsync(&request);
    if (SUCCEEDED(hr)) hr = runtime::Await(request, &manager, stop_);
    return FromObjectCall<MediaSessionManager, ManagerAdapter>(hr, std::move(manager), stop_);
  }

 private:
  const HANDLE stop_;
};

}  // namespace

std::unique_ptr<MediaPlatform> MakeMediaPlatform(HANDLE stop) {
  return std::make_unique<MediaPlatformAdapter>(stop);
}

}  // namespace orvane::now_playing::windows
