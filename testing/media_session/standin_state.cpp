#include "testing/media_session/standin_state.h"

#include "testing/media_session/failing_import.h"

#include <winstring.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <set>
#include <sstream>

#include "testing/engine/standin_record.h"
#include "testing/import_redirect/import_redirect.h"

namespace orvane::testing::media_session {
namespace {

struct State {
  std::mutex lock;
  std::shared_ptr<const Script> script;  // null: the environment's file
  std::string calls;
  std::vector<std::thread> threads;
  std::set<HSTRING> strings;  // handed out, not yet deleted
  std::set<HANDLE> events;    // created by the executable, not yet closed
  std::atomic<LONG> live{0}, over_released{0}, used_after_release{0}, unexpected_calls{0},
      cancels{0}, mta_left{0};
};

State& TheState() {
  static State* state = new State();  // never destroyed: threads may still report at exit
  return *state;
}

std::shared_ptr<const Script> ReadScriptFile() {
  auto script = std::make_shared<Script>();
  const std::wstring path = orvane_standin::EnvironmentText(L"ORVANE_MEDIA_SESSION_SCRIPT");
  if (path.empty()) return script;
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return script;
  script->has_session = script->has_playback_info = true;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "session" && value == "none") script->has_session = false;
    if (key == "title") script->title = orvane_standin::Widen(value);
    if (key == "artist") script->artist = orvane_standin::Widen(value);
    if (key == "album") script->album = orvane_standin::Widen(value);
    if (key == "app_id") script->app_id = orvane_standin::Widen(value);
    if (key == "status")
      script->playback_status = value == "playing" ? 4 : std::atoi(value.c_str());
    const std::pair<const char*, MediaSessionCompletion Script::*> operations[] = {
        {"RequestAsync", &Script::request},
        {"TryGetMediaPropertiesAsync", &Script::properties},
        {"OpenReadAsync", &Script::open},
        {"ReadAsync", &Script::read}};
    for (const auto& [name, completion] : operations) {
      if (key == "never" && value == name) (*script).*completion = MEDIA_COMPLETE_NEVER;
    }
    if (key == "thumbnail") {
      std::ifstream image(value, std::ios::binary);
      script->has_thumbnail = static_cast<bool>(image);
      script->thumbnail.assign(std::istreambuf_iterator<char>(image),
                               std::istreambuf_iterator<char>());
    }
  }
  return script;
}

void JoinThreads() {
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> hold(TheState().lock);
    threads.swap(TheState().threads);
  }
  for (std::thread& thread : threads) thread.join();
}

MediaSessionCounts Counts() {
  JoinThreads();
  State& state = TheState();
  std::lock_guard<std::mutex> hold(state.lock);
  return MediaSessionCounts{state.live.load(),
                            state.over_released.load(),
                            state.used_after_release.load(),
                            state.unexpected_calls.load(),
                            static_cast<LONG>(state.strings.size()),
                            static_cast<LONG>(state.events.size()),
                            state.cancels.load(),
                            state.mta_left.load()};
}

// The executable's deletions of strings, counted against those handed out.
using DeleteStringFunction = HRESULT(WINAPI*)(HSTRING);
DeleteStringFunction real_delete_string = nullptr;

HRESULT WINAPI CountedDeleteString(HSTRING text) {
  {
    std::lock_guard<std::mutex> hold(TheState().lock);
    TheState().strings.erase(text);
  }
  return real_delete_string(text);
}

// The executable's events, counted from creation to closing.
using CreateEventFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR);
using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);
CreateEventFunction real_create_event = nullptr;
CloseHandleFunction real_close_handle = nullptr;

HANDLE WINAPI CountedCreateEvent(LPSECURITY_ATTRIBUTES attributes, BOOL manual, BOOL initial,
                                 LPCWSTR name) {
  const HANDLE event = real_create_event(attributes, manual, initial, name);
  const DWORD error = GetLastError();
  if (event != nullptr) {
    std::lock_guard<std::mutex> hold(TheState().lock);
    TheState().events.insert(event);
  }
  SetLastError(error);
  return event;
}

// A set that fails found the event closed already: a late completion handler must still own its
// event, or it would set whatever object took over the handle.
using SetEventFunction = BOOL(WINAPI*)(HANDLE);
SetEventFunction real_set_event = nullptr;

BOOL WINAPI CheckedSetEvent(HANDLE event) {
  const BOOL set = real_set_event(event);
  const DWORD error = GetLastError();
  if (!set) RecordUnexpected();
  SetLastError(error);
  return set;
}

BOOL WINAPI CountedCloseHandle(HANDLE handle) {
  {
    std::lock_guard<std::mutex> hold(TheState().lock);
    TheState().events.erase(handle);
  }
  return real_close_handle(handle);
}

// Before the executable leaves COM, the operations completing late have done so: the counters
// then tell what the host left behind.
using CoUninitializeFunction = void(WINAPI*)();
CoUninitializeFunction real_co_uninitialize = nullptr;

void WINAPI ReportingCoUninitialize() {
  if (InMultithreadedApartment()) ++TheState().mta_left;
  const MediaSessionCounts c = Counts();
  Report("counts live=" + std::to_string(c.live) +
         " over_released=" + std::to_string(c.over_released) +
         " used_after_release=" + std::to_string(c.used_after_release) + " unexpected_calls=" +
         std::to_string(c.unexpected_calls) + " live_strings=" + std::to_string(c.live_strings) +
         " live_events=" + std::to_string(c.live_events) + " cancels=" + std::to_string(c.cancels) +
         " mta_left=" + std::to_string(c.mta_left));
  real_co_uninitialize();
}

std::wstring ReportPath() {
  return orvane_standin::EnvironmentText(L"ORVANE_MEDIA_SESSION_REPORT");
}

constexpr char kStrings[] = "api-ms-win-core-winrt-string-l1-1-0.dll";

// Points the executable's import at `replacement`, keeping the function it held in `real`.
template <class Function>
void Watch(const char* library, const char* function, Function replacement, Function& real) {
  real = reinterpret_cast<Function>(
      RedirectImport(library, function, reinterpret_cast<ULONG_PTR>(replacement)));
}

template <class Function>
void Unwatch(const char* library, const char* function, Function real) {
  if (real != nullptr) RedirectImport(library, function, reinterpret_cast<ULONG_PTR>(real));
}

struct WatchExecutableOnLoad {
  WatchExecutableOnLoad() {
    Watch(kStrings, "WindowsDeleteString", &CountedDeleteString, real_delete_string);
    Watch("kernel32.dll", "CreateEventW", &CountedCreateEvent, real_create_event);
    Watch("kernel32.dll", "SetEvent", &CheckedSetEvent, real_set_event);
    Watch("kernel32.dll", "CloseHandle", &CountedCloseHandle, real_close_handle);
    if (!ReportPath().empty()) {
      Watch("ole32.dll", "CoUninitialize", &ReportingCoUninitialize, real_co_uninitialize);
    }
  }
  // The executable may outlive this library (a test that only registers the classes).
  ~WatchExecutableOnLoad() {
    Unwatch(kStrings, "WindowsDeleteString", real_delete_string);
    Unwatch("kernel32.dll", "CreateEventW", real_create_event);
    Unwatch("kernel32.dll", "SetEvent", real_set_event);
    Unwatch("kernel32.dll", "CloseHandle", real_close_handle);
    Unwatch("ole32.dll", "CoUninitialize", real_co_uninitialize);
  }
} watch_executable_on_load;

}  // namespace

std::shared_ptr<const Script> CurrentScript() {
  {
    std::lock_guard<std::mutex> hold(TheState().lock);
    if (TheState().script) return TheState().script;
  }
  return ReadScriptFile();
}

bool RecordCall(const char* method) {
  std::lock_guard<std::mutex> hold(TheState().lock);
  std::string& calls = TheState().calls;
  if (!calls.empty()) calls += ' ';
  calls += method;
  return !TheState().script || TheState().script->failing_call != method;
}

void RecordUnexpected() { ++TheState().unexpected_calls; }

void RecordCancel() { ++TheState().cancels; }

void Report(const std::string& line) {
  static const std::wstring path = ReportPath();
  if (!path.empty()) std::ofstream(path.c_str(), std::ios::app | std::ios::binary) << line << "\n";
}

void RunLater(std::function<void()> body) {
  std::lock_guard<std::mutex> hold(TheState().lock);
  TheState().threads.emplace_back(std::move(body));
}

Counted::Counted() { ++TheState().live; }

ULONG Counted::AddReference() {
  LONG now = references_.load();
  do {
    if (now == 0) {
      ++TheState().used_after_release;
      return 0;
    }
  } while (!references_.compare_exchange_weak(now, now + 1));
  return static_cast<ULONG>(now + 1);
}

ULONG Counted::DropReference() {
  LONG now = references_.load();
  do {
    if (now == 0) {
      ++TheState().over_released;
      return 0;
    }
  } while (!references_.compare_exchange_weak(now, now - 1));
  if (now == 1) {
    --TheState().live;
    OnFinalRelease();
  }
  return static_cast<ULONG>(now - 1);
}

bool Counted::Enter(const char* method) {
  const bool succeeds = method == nullptr || RecordCall(method);
  if (references_.load() > 0) return succeeds;
  ++TheState().used_after_release;
  return false;
}

HRESULT Counted::Unexpected() {
  Enter(nullptr);
  RecordUnexpected();
  return E_NOTIMPL;
}

HRESULT Counted::Hand(void* pointer, void** out) {
  *out = pointer;
  if (pointer == nullptr) return E_NOINTERFACE;
  AddReference();
  return S_OK;
}

HSTRING MakeString(const std::optional<std::wstring>& text) {
  HSTRING value = nullptr;
  if (!text ||
      FAILED(WindowsCreateString(text->c_str(), static_cast<UINT32>(text->size()), &value)))
    return nullptr;
  std::lock_guard<std::mutex> hold(TheState().lock);
  if (value != nullptr) TheState().strings.insert(value);
  return value;
}

}  // namespace orvane::testing::media_session

using namespace orvane::testing::media_session;

extern "C" {

__declspec(dllexport) void WINAPI media_session_set_script(const MediaSessionScript* script) {
  JoinThreads();
  std::shared_ptr<Script> copy;
  if (script != nullptr) {
    copy = std::make_shared<Script>();
    copy->has_session = script->has_session != 0;
    copy->has_playback_info = script->has_playback_info != 0;
    for (auto [text, target] : {std::pair(script->title, &copy->title),
                                {script->artist, &copy->artist},
                                {script->album, &copy->album},
                                {script->app_id, &copy->app_id}}) {
      if (text != nullptr) *target = text;
    }
    copy->playback_status = script->playback_status;
    copy->has_thumbnail = script->has_thumbnail != 0;
    copy->thumbnail.assign(script->thumbnail, script->thumbnail + script->thumbnail_length);
    copy->read_returns_other_buffer = script->read_returns_other_buffer != 0;
    copy->read_returns_no_buffer = script->read_returns_no_buffer != 0;
    copy->request = script->request;
    copy->properties = script->properties;
    copy->open = script->open;
    copy->read = script->read;
    if (script->failing_call != nullptr) copy->failing_call = script->failing_call;
  }
  FailNextImportedCall(copy ? copy->failing_call : std::string());
  std::lock_guard<std::mutex> hold(TheState().lock);
  TheState().script = std::move(copy);
  TheState().calls.clear();
}

__declspec(dllexport) void WINAPI media_session_counts(MediaSessionCounts* counts) {
  *counts = Counts();
}

__declspec(dllexport) size_t WINAPI media_session_calls(char* out, size_t capacity) {
  std::lock_guard<std::mutex> hold(TheState().lock);
  const std::string& calls = TheState().calls;
  if (capacity > 0) {
    const size_t copied = calls.size() < capacity - 1 ? calls.size() : capacity - 1;
    calls.copy(out, copied);
    out[copied] = '\0';
  }
  return calls.size();
}

}  // extern "C"
