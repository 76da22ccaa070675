#pragma once

// Book-keeping shared by every object of the stand-in: the script of the current pass, the
// counters, the call log, and the threads that complete operations later.
#include <windows.h>

#include <inspectable.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "testing/media_session/media_session.h"

namespace orvane::testing::media_session {

// A copy of a MediaSessionScript that owns its texts and bytes.
struct Script {
  bool has_session = false;
  bool has_properties = false;
  bool has_playback_info = false;
  bool title_null = true, artist_null = true, album_null = true, app_id_null = true;
  std::wstring title, artist, album, app_id;
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
  virtual void OnFinalRelease() {}
  // Hands out `pointer` (already the right base) for a successful QueryInterface.
  HRESULT Hand(void* pointer, void** out);

 private:
  std::atomic<LONG> references_{1};
};

// True when the calling thread has entered the multithreaded apartment itself.
bool InMultithreadedApartment();

// A new HSTRING for `text`, or null; counted until the executable deletes it.
HSTRING MakeString(bool null, const std::wstring& text);

}  // namespace orvane::testing::media_session

// IUnknown and IInspectable over Counted, for classes that define `void* Cast(REFIID)`.
#define MEDIA_STANDIN_IUNKNOWN                                                \
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }        \
  ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }      \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { \
    if (out == nullptr) return E_POINTER;                                     \
    return Hand(Cast(iid), out);                                              \
  }
#define MEDIA_STANDIN_IINSPECTABLE                                                       \
  MEDIA_STANDIN_IUNKNOWN                                                                 \
  HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }        \
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; } \
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
