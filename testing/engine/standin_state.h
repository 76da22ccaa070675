#pragma once

// The stand-in's shared state: the record, the settings, and the objects behind the handles.
// Every entry point takes `mutex` only while it touches this state, never while it calls back
// into the host, so callbacks may call the library again (from any thread).

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "testing/engine/engine_standin.h"

struct FlutterDesktopMessenger {
  int references = 1;
  bool engine_alive = true;
};

struct FlutterDesktopEngine {
  FlutterDesktopMessengerRef messenger = nullptr;
  bool handed_over = false;
};

struct FlutterDesktopView {
  HWND window = nullptr;
};

struct FlutterDesktopViewController {
  FlutterDesktopEngineRef engine = nullptr;
  FlutterDesktopView view;
};

struct FlutterDesktopMessageResponseHandle {
  uint64_t message_id = 0;
  bool answered = false;
};

struct FlutterDesktopPluginRegistrar {};

namespace orvane::testing {

struct ChannelCallback {
  FlutterDesktopMessageCallback callback = nullptr;
  void* user_data = nullptr;
};

struct PendingReply {
  FlutterDesktopBinaryReply reply = nullptr;
  void* user_data = nullptr;
};

// What ResetEngineStandin puts back to its defaults.
struct StandinData {
  EngineRecord record;
  bool engine_creation_fails = false;
  bool view_controller_creation_fails = false;
  bool send_with_reply_refused = false;
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> window_proc_handler;
  std::function<void()> view_controller_destroy_hook;

  std::map<FlutterDesktopEngineRef, std::unique_ptr<FlutterDesktopEngine>> engines;
  std::map<FlutterDesktopMessengerRef, std::unique_ptr<FlutterDesktopMessenger>> messengers;
  std::map<FlutterDesktopViewControllerRef, std::unique_ptr<FlutterDesktopViewController>>
      controllers;
  std::map<std::string, std::unique_ptr<FlutterDesktopPluginRegistrar>> registrars;
  std::vector<std::unique_ptr<FlutterDesktopMessageResponseHandle>> response_handles;
  std::map<std::string, ChannelCallback> channels;
  std::map<size_t, PendingReply> pending_replies;
  FlutterDesktopOnNextFrameCallback next_frame = nullptr;
  void* next_frame_user_data = nullptr;
  uint64_t next_message_id = 1;
  // The objects behind destroyed handles, kept until the next reset so that no new handle takes
  // their address and a late call is recognised as one.
  std::vector<std::shared_ptr<void>> retired;
};

struct StandinState : StandinData {
  std::mutex mutex;
  // FlutterDesktopMessengerLock's lock. Recursive, and tried rather than waited for, only so that
  // a nested or never released lock is recorded as a violation rather than hanging the test. Its
  // holder is tracked under `mutex`.
  std::recursive_mutex messenger_lock;
  std::thread::id messenger_lock_owner;
  int messenger_lock_depth = 0;
};

StandinState& State();
// The state with `mutex` held until the lock goes: `auto [state, lock] = LockedState();`.
std::pair<StandinState&, std::unique_lock<std::mutex>> LockedState();

// With `mutex` held: notes a call that the real library would reject or crash on.
void RecordViolationLocked(StandinState& state, const std::string& what);

// With `mutex` held: the object behind `handle`, or null (and a violation of `function`) when the
// handle is not alive.
template <typename Object>
Object* LiveLocked(StandinState& state, const std::map<Object*, std::unique_ptr<Object>>& objects,
                   Object* handle, const char* function) {
  auto found = objects.find(handle);
  if (found != objects.end()) {
    return found->second.get();
  }
  RecordViolationLocked(state, std::string(function) + ": handle not alive");
  return nullptr;
}

// With `mutex` held: the messenger behind `handle` when its engine is still there (sending,
// answering and registering need the engine), else null and a violation of `function`.
FlutterDesktopMessenger* LiveEngineMessengerLocked(StandinState& state,
                                                   FlutterDesktopMessengerRef handle,
                                                   const char* function);

// With `mutex` held: the handle is no longer alive; its object is kept (see `retired`).
template <typename Object>
void RetireLocked(StandinState& state, std::map<Object*, std::unique_ptr<Object>>& objects,
                  Object* handle) {
  auto found = objects.find(handle);
  if (found != objects.end()) {
    state.retired.push_back(std::shared_ptr<void>(std::move(found->second)));
    objects.erase(found);
  }
}

// With `mutex` held: drops one messenger reference, freeing it with the last one.
void ReleaseMessengerLocked(StandinState& state, FlutterDesktopMessengerRef messenger);
// With `mutex` held: the engine is gone; its messenger lives on while the host holds references.
void ReleaseEngineLocked(StandinState& state, FlutterDesktopEngineRef engine);

// The view's window for a new view controller; none until the stand-in shows real content.
HWND CreateViewWindow(int width, int height);
void DestroyViewWindow(HWND window);

}  // namespace orvane::testing
