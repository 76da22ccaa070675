#pragma once

// The stand-in's shared state: the record, the settings, and the objects behind the handles.
// Every entry point takes `mutex` only while it touches this state, never while it calls back
// into the host, so callbacks may call the library again (from any thread).

#include <map>
#include <memory>
#include <mutex>
#include <string>
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
};

struct FlutterDesktopPluginRegistrar {
  std::string plugin_name;
};

namespace orvane::testing {

struct ChannelCallback {
  FlutterDesktopMessageCallback callback = nullptr;
  void* user_data = nullptr;
};

struct PendingReply {
  FlutterDesktopBinaryReply reply = nullptr;
  void* user_data = nullptr;
};

struct StandinState {
  std::mutex mutex;
  // FlutterDesktopMessengerLock's lock; recursive because an answer may be given from inside a
  // handler that the library runs while the host holds it.
  std::recursive_mutex messenger_lock;

  EngineRecord record;
  bool engine_creation_fails = false;
  bool view_controller_creation_fails = false;
  bool messenger_available = true;
  bool send_with_reply_refused = false;
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> window_proc_handler;

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
};

StandinState& State();

// With `mutex` held: drops one messenger reference, freeing it with the last one.
void ReleaseMessengerLocked(StandinState& state, FlutterDesktopMessengerRef messenger);
// With `mutex` held: the engine is gone; its messenger lives on while the host holds references.
void ReleaseEngineLocked(StandinState& state, FlutterDesktopEngineRef engine);

// The view's window for a new view controller; none until the stand-in shows real content.
HWND CreateViewWindow(int width, int height);
void DestroyViewWindow(HWND window);

}  // namespace orvane::testing
