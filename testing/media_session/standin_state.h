#pragma once

// Book-keeping shared by every object of the stand-in: the script of the current pass, the
// counters, the call log, and the threads that complete operations later.
#include <windows.h>

#include <activation.h>
#include <inspectable.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "now_playing/windows/runtime/foundation_abi.h"
#include "now_playing/windows/runtime/interface_id.h"
#include "now_playing/windows/runtime/storage_streams_abi.h"
#include "testing/media_session/media_session.h"

namespace orvane::testing::media_session {

// A copy of a MediaSessionScript that owns its texts and bytes.
struct Script {
  bool has_session = false;
  bool has_playback_info = false;
  std::optional<std::wstring> title, artist, album, app_id;  // none: a null HSTRING
  INT32 playback_status = 0;
  bool has_thumbnail = false;
  std::vector<BYTE> thumbnail;
  bool read_returns_other_buffer = false;
  bool read_returns_no_buffer = false;
  MediaSessionCompletion request = MEDIA_COMPLETE_AT_ONCE;
  MediaSessionCompletion properties = MEDIA_COMPLETE_AT_ONCE;
  MediaSessionCompletion open = MEDIA_COMPLETE_AT_ONCE;
  MediaSessionCompletion read = MEDIA_COMPLETE_AT_ONCE;
  std::string failing_call;
};

// The script for a new pass: the one set in process, else the environment's file.
std::shared_ptr<const Script> CurrentScript();

// Records the call; false when the script makes calls of this name fail.
bool RecordCall(const char* method);
void RecordUnexpected();
void RecordCancel();
// Appends a line to the report file, when the environment names one (media_session.h).
void Report(const std::string& line);
// Runs `body` on a new thread, joined before counters are read or a script is set.
void RunLater(std::function<void()> body);

// Reference counting with the stand-in's checks. Objects are never freed, so that a call after
// the final release is seen instead of reaching freed memory; their contents go at that release.
class Counted {
 public:
  Counted();
  virtual ~Counted() = default;

 protected:
  ULONG AddReference();
  ULONG DropReference();
  // Records the call (unless `method` is null); false when the script makes it fail, or (and
  // counted) when the object was already released to zero.
  bool Enter(const char* method);
  // A method the real classes have but nothing here should call.
  HRESULT Unexpected();
  // A getter: what `make` returns goes to `out`, once the call is allowed (E_UNEXPECTED otherwise,
  // or without `out`).
  template <class T, class Make>
  HRESULT Get(const char* method, T* out, Make make) {
    if (!Enter(method) || out == nullptr) return E_UNEXPECTED;
    *out = make();
    return S_OK;
  }
  virtual void OnFinalRelease() {}
  // Hands out `pointer` (already the right base) for a QueryInterface; null finds no interface.
  HRESULT Hand(void* pointer, void** out);

 private:
  std::atomic<LONG> references_{1};
};

// True when the calling thread has entered the multithreaded apartment itself.
bool InMultithreadedApartment();

// A new HSTRING for `text`, or null; counted until the executable deletes it.
HSTRING MakeString(const std::optional<std::wstring>& text);

// Counted, with the script of the pass that made the object, kept until its final release.
class Scripted : public Counted {
 public:
  explicit Scripted(std::shared_ptr<const Script> script) : script_(std::move(script)) {}

 protected:
  HRESULT Text(const char* method, const std::optional<std::wstring>& text, HSTRING* value) {
    return Get(method, value, [&] { return MakeString(text); });
  }
  void OnFinalRelease() override { script_.reset(); }

  std::shared_ptr<const Script> script_;
};

// The caller's queries for these interfaces (never an object's first) go to the call log, and fail
// when the script says so.
template <class Interface>
constexpr const char* kLoggedQuery = nullptr;
template <>
constexpr const char* kLoggedQuery<runtime::abi::AsyncInfo> = "QueryInterface:IAsyncInfo";
template <>
constexpr const char* kLoggedQuery<runtime::abi::IRandomAccessStream> =
    "QueryInterface:IRandomAccessStream";
template <>
constexpr const char* kLoggedQuery<runtime::abi::IInputStream> = "QueryInterface:IInputStream";

// An object of the stand-in over `Base` (Counted or Scripted) that serves `First` (also as IUnknown
// and IInspectable) and `Rest`.
template <class Base, class First, class... Rest>
class Object : public Base, public First, public Rest... {
 public:
  using Base::Base;

  ULONG STDMETHODCALLTYPE AddRef() override { return this->AddReference(); }
  ULONG STDMETHODCALLTYPE Release() override { return this->DropReference(); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    void* found = nullptr;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IInspectable))) {
      found = static_cast<First*>(this);
    }
    Match<First>(iid, found);
    (Match<Rest>(iid, found), ...);
    return this->Hand(found, out);
  }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }

 private:
  template <class Interface>
  void Match(REFIID iid, void*& found) {
    if (found != nullptr || !IsEqualIID(iid, runtime::IidOf<Interface>())) return;
    if (kLoggedQuery<Interface> == nullptr || this->Enter(kLoggedQuery<Interface>)) {
      found = static_cast<Interface*>(this);
    }
  }
};

// The activation factory of one class, with its statics or factory interface.
template <class Statics>
class Factory : public Object<Scripted, IActivationFactory, Statics> {
 public:
  using Object<Scripted, IActivationFactory, Statics>::Object;
  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable**) override { return this->Unexpected(); }
};

}  // namespace orvane::testing::media_session
