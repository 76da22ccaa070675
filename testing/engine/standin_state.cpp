#include "testing/engine/standin_state.h"

namespace orvane::testing {

StandinState& State() {
  static StandinState* state = new StandinState();  // never destroyed: used until process exit
  return *state;
}

std::pair<StandinState&, std::unique_lock<std::mutex>> LockedState() {
  StandinState& state = State();
  return {state, std::unique_lock<std::mutex>(state.mutex)};
}

void RecordViolationLocked(StandinState& state, const std::string& what) {
  state.record.violations.push_back(what);
}

FlutterDesktopMessenger* LiveEngineMessengerLocked(StandinState& state,
                                                   FlutterDesktopMessengerRef handle,
                                                   const char* function) {
  FlutterDesktopMessenger* messenger = LiveLocked(state, state.messengers, handle, function);
  if (messenger != nullptr && !messenger->engine_alive) {
    RecordViolationLocked(state, std::string(function) + ": engine gone");
    return nullptr;
  }
  return messenger;
}

void ReleaseMessengerLocked(StandinState& state, FlutterDesktopMessengerRef messenger) {
  auto found = state.messengers.find(messenger);
  if (found == state.messengers.end()) {
    return;
  }
  if (--found->second->references == 0) {
    RetireLocked(state, state.messengers, messenger);
    ++state.record.messengers_freed;
  }
}

void ReleaseEngineLocked(StandinState& state, FlutterDesktopEngineRef engine) {
  auto found = state.engines.find(engine);
  if (found == state.engines.end()) {
    return;
  }
  FlutterDesktopMessengerRef messenger = found->second->messenger;
  auto messenger_entry = state.messengers.find(messenger);
  if (messenger_entry != state.messengers.end()) {
    messenger_entry->second->engine_alive = false;
  }
  state.channels.clear();
  state.record.registered_channels.clear();
  state.next_frame = nullptr;
  state.next_frame_user_data = nullptr;
  ReleaseMessengerLocked(state, messenger);
  RetireLocked(state, state.engines, engine);
  ++state.record.engines_released;
}

void ResetEngineStandin() {
  std::vector<HWND> windows;
  {
    auto [state, lock] = LockedState();
    for (auto& entry : state.controllers) {
      windows.push_back(entry.second->view.window);
    }
    static_cast<StandinData&>(state) = StandinData();
  }
  for (HWND window : windows) {
    DestroyViewWindow(window);
  }
}

EngineRecord Record() {
  auto [state, lock] = LockedState();
  return state.record;
}

namespace {

template <typename Change>
void Update(Change change) {
  auto [state, lock] = LockedState();
  change(state);
}

}  // namespace

void SetEngineCreationFails(bool fails) {
  Update([fails](StandinState& state) { state.engine_creation_fails = fails; });
}

void SetViewControllerCreationFails(bool fails) {
  Update([fails](StandinState& state) { state.view_controller_creation_fails = fails; });
}

void SetSendWithReplyRefused(bool refused) {
  Update([refused](StandinState& state) { state.send_with_reply_refused = refused; });
}

void SetViewControllerDestroyHook(std::function<void()> hook) {
  Update([&hook](StandinState& state) { state.view_controller_destroy_hook = std::move(hook); });
}

void SetWindowProcHandler(
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler) {
  Update([&handler](StandinState& state) { state.window_proc_handler = std::move(handler); });
}

}  // namespace orvane::testing
