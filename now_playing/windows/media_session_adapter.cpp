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
                    SharedStop stop)
      : properties_(std::move(properties)), stop_(std::move(stop)) {}
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
  const SharedStop stop_;
};

class SessionAdapter final : public MediaSession {
 public:
  SessionAdapter(ComPtr<IGlobalSystemMediaTransportControlsSession> session, SharedStop stop)
      : session_(std::move(session)), stop_(std::move(stop)) {}
  PortResult<std::u16string> SourceAppUserModelId() override {
    HString text;
    const HRESULT hr = session_->get_SourceAppUserModelId(text.GetAddressOf());
    return FromCall(hr, ToUtf16(text));
  }
  PortResult<std::unique_ptr<MediaProperties>> TryGetMediaProperties() override {
    ComPtr<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>> request;
    ComPtr<IGlobalSystemMediaTransportControlsSessionMediaProperties> properties;
    HRESULT hr = session_->TryGetMediaPropertiesAsync(&request);
    if (SUCCEEDED(hr)) hr = runtime::Await(request, &properties, EventOf(stop_));
    return FromObjectCall<MediaProperties, PropertiesAdapter>(hr, std::move(properties), stop_);
  }
  PortResult<std::unique_ptr<MediaPlaybackInfo>> GetPlaybackInfo() override {
    ComPtr<IGlobalSystemMediaTransportControlsSessionPlaybackInfo> info;
    const HRESULT hr = session_->GetPlaybackInfo(&info);
    return FromObjectCall<MediaPlaybackInfo, PlaybackInfoAdapter>(hr, std::move(info));
  }

 private:
  const ComPtr<IGlobalSystemMediaTransportControlsSession> session_;
  const SharedStop stop_;
};

class ManagerAdapter final : public MediaSessionManager {
 public:
  ManagerAdapter(ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager, SharedStop stop)
      : manager_(std::move(manager)), stop_(std::move(stop)) {}
  PortResult<std::unique_ptr<MediaSession>> GetCurrentSession() override {
    ComPtr<IGlobalSystemMediaTransportControlsSession> session;
    const HRESULT hr = manager_->GetCurrentSession(&session);
    return FromObjectCall<MediaSession, SessionAdapter>(hr, std::move(session), stop_);
  }

 private:
  const ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager_;
  const SharedStop stop_;
};

class MediaPlatformAdapter final : public MediaPlatform {
 public:
  explicit MediaPlatformAdapter(SharedStop stop) : stop_(std::move(stop)) {}
  bool EnterPollerThread() override {
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  }
  void LeavePollerThread() override { CoUninitialize(); }
  PortResult<std::unique_ptr<MediaSessionManager>> RequestSessionManager() override {
    ComPtr<IGlobalSystemMediaTransportControlsSessionManagerStatics> statics;
    ComPtr<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>> request;
    ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager;
    HRESULT hr = runtime::GetActivationFactory(kSessionManagerClass, &statics);
    if (SUCCEEDED(hr)) hr = statics->RequestAsync(&request);
    if (SUCCEEDED(hr)) hr = runtime::Await(request, &manager, EventOf(stop_));
    return FromObjectCall<MediaSessionManager, ManagerAdapter>(hr, std::move(manager), stop_);
  }

 private:
  const SharedStop stop_;
};

}  // namespace

std::unique_ptr<MediaPlatform> MakeMediaPlatform(SharedStop stop) {
  return std::make_unique<MediaPlatformAdapter>(std::move(stop));
}

}  // namespace orvane::now_playing::windows
