// The stand-in's Windows.Media.Control objects, its class registration, and its entry point for
// the Runtime's activation.
#include <windows.h>

#include <activation.h>
#include <objbase.h>
#include <winstring.h>
#include <wrl/client.h>

#include <string>

#include "now_playing/windows/runtime/media_control_abi.h"
#include "testing/media_session/async_operation.h"
#include "testing/media_session/standin_state.h"
#include "testing/media_session/stream_objects.h"

namespace orvane::testing::media_session {
namespace {

using Microsoft::WRL::ComPtr;
using namespace runtime::abi;

class PlaybackInfo final
    : public Object<Scripted, IGlobalSystemMediaTransportControlsSessionPlaybackInfo> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE get_Controls(IInspectable**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_PlaybackStatus(INT32* value) override {
    return Get("get_PlaybackStatus", value, [&] { return script_->playback_status; });
  }
};

class MediaProperties final
    : public Object<Scripted, IGlobalSystemMediaTransportControlsSessionMediaProperties> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) override {
    return Text("get_Title", script_->title, value);
  }
  HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) override {
    return Text("get_Artist", script_->artist, value);
  }
  HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) override {
    return Text("get_AlbumTitle", script_->album, value);
  }
  HRESULT STDMETHODCALLTYPE get_TrackNumber(INT32*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_Genres(IInspectable**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_AlbumTrackCount(INT32*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE get_Thumbnail(IRandomAccessStreamReference** value) override {
    return Get("get_Thumbnail", value,
               [&] { return script_->has_thumbnail ? MakeThumbnail(script_).Detach() : nullptr; });
  }
};

class Session final : public Object<Scripted, IGlobalSystemMediaTransportControlsSession> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* value) override {
    return Text("get_SourceAppUserModelId", script_->app_id, value);
  }
  HRESULT STDMETHODCALLTYPE TryGetMediaPropertiesAsync(
      IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>** operation)
      override {
    return Get("TryGetMediaPropertiesAsync", operation, [&] {
      return MakeOperation<
                 IAsyncOperation<IGlobalSystemMediaTransportControlsSessionMediaProperties*>>(
                 script_->properties,
                 runtime::Adopt<IGlobalSystemMediaTransportControlsSessionMediaProperties>(
                     new MediaProperties(script_)))
          .Detach();
    });
  }
  HRESULT STDMETHODCALLTYPE GetTimelineProperties(IInspectable**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE
  GetPlaybackInfo(IGlobalSystemMediaTransportControlsSessionPlaybackInfo** value) override {
    return Get("GetPlaybackInfo", value,
               [&] { return script_->has_playback_info ? new PlaybackInfo(script_) : nullptr; });
  }
};

class Manager final : public Object<Scripted, IGlobalSystemMediaTransportControlsSessionManager> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE
  GetCurrentSession(IGlobalSystemMediaTransportControlsSession** session) override {
    return Get("GetCurrentSession", session,
               [&] { return script_->has_session ? new Session(script_) : nullptr; });
  }
};

class ManagerStatics final
    : public Factory<IGlobalSystemMediaTransportControlsSessionManagerStatics> {
 public:
  using Factory::Factory;
  HRESULT STDMETHODCALLTYPE RequestAsync(
      IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>** operation) override {
    return Get("RequestAsync", operation, [&] {
      return MakeOperation<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>>(
                 script_->request,
                 runtime::Adopt<IGlobalSystemMediaTransportControlsSessionManager>(
                     new Manager(script_)))
          .Detach();
    });
  }
};

std::wstring ClassKey(const wchar_t* name) {
  return std::wstring(L"Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\") + name;
}

const wchar_t* const kClasses[] = {kSessionManagerClass, kBufferClass, kDataReaderClass};

}  // namespace

// The caller waits on operations without pumping messages, which only the multithreaded
// apartment allows; it must have entered it itself.
bool InMultithreadedApartment() {
  APTTYPE type = APTTYPE_CURRENT;
  APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
  return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && type == APTTYPE_MTA &&
         qualifier == APTTYPEQUALIFIER_NONE;
}

}  // namespace orvane::testing::media_session

using namespace orvane::testing::media_session;

extern "C" {

__declspec(dllexport) HRESULT WINAPI
    DllGetActivationFactory(HSTRING class_id, IActivationFactory** factory) {
  if (factory == nullptr) return E_POINTER;
  *factory = nullptr;
  const std::wstring name(WindowsGetStringRawBuffer(class_id, nullptr));
  if (!InMultithreadedApartment()) RecordUnexpected();
  if (name == kSessionManagerClass) {
    if (RecordCall("Activate:SessionManager")) *factory = new ManagerStatics(CurrentScript());
  } else if (name == kBufferClass) {
    if (RecordCall("Activate:Buffer")) *factory = MakeBufferFactory();
  } else if (name == kDataReaderClass) {
    if (RecordCall("Activate:DataReader")) *factory = MakeDataReaderStatics();
  } else {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return *factory != nullptr ? S_OK : E_UNEXPECTED;
}

// The three classes in the prefix's machine registry, with this library as their DllPath.
__declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
  HMODULE self = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&DllRegisterServer), &self);
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  for (const wchar_t* name : kClasses) {
    const LONG result =
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, ClassKey(name).c_str(), L"DllPath", REG_SZ, path,
                        static_cast<DWORD>((length + 1) * sizeof(wchar_t)));
    if (result != ERROR_SUCCESS) return HRESULT_FROM_WIN32(result);
  }
  return S_OK;
}

}  // extern "C"
