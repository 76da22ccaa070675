// View controllers, their views, window messages, and the library's process-wide helpers.

#include <memory>

#include "testing/engine/standin_state.h"
#include "tools/startup_profile.h"

using orvane::testing::LiveLocked;
using orvane::testing::LockedState;
using orvane::testing::RetireLocked;
using orvane::testing::StandinState;
using orvane::testing::State;

extern "C" {

FlutterDesktopViewControllerRef FlutterDesktopViewControllerCreate(int width, int height,
                                                                   FlutterDesktopEngineRef engine) {
  StandinState& state = State();
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.record.last_width = width;
    state.record.last_height = height;
    FlutterDesktopEngine* live = LiveLocked(state, state.engines, engine, __func__);
    if (live != nullptr && live->handed_over) {
      orvane::testing::RecordViolationLocked(
          state, std::string(__func__) + ": engine already has a view controller");
      return nullptr;
    }
    if (state.view_controller_creation_fails || live == nullptr) {
      return nullptr;
    }
    live->handed_over = true;
  }
  HWND window = orvane::testing::CreateViewWindow(width, height);
  std::lock_guard<std::mutex> lock(state.mutex);
  auto controller = std::make_unique<FlutterDesktopViewController>();
  controller->engine = engine;
  controller->view.window = window;
  FlutterDesktopViewControllerRef handle = controller.get();
  state.controllers[handle] = std::move(controller);
  ++state.record.view_controllers_created;
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kViewControllerCreated);
  return handle;
}

void FlutterDesktopViewControllerDestroy(FlutterDesktopViewControllerRef controller) {
  HWND window = nullptr;
  std::function<void()> hook;
  {
    auto [state, lock] = LockedState();
    ++state.record.view_controllers_destroyed;
    FlutterDesktopViewController* live = LiveLocked(state, state.controllers, controller, __func__);
    if (live == nullptr) {
      return;
    }
    window = live->view.window;
    orvane::testing::ReleaseEngineLocked(state, live->engine);
    RetireLocked(state, state.controllers, controller);
    hook = state.view_controller_destroy_hook;
  }
  if (hook) {
    hook();
  }
  orvane::testing::DestroyViewWindow(window);
}

FlutterDesktopViewRef FlutterDesktopViewControllerGetView(
    FlutterDesktopViewControllerRef controller) {
  auto [state, lock] = LockedState();
  FlutterDesktopViewController* live = LiveLocked(state, state.controllers, controller, __func__);
  return live == nullptr ? nullptr : &live->view;
}

void FlutterDesktopViewControllerForceRedraw(FlutterDesktopViewControllerRef controller) {
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kRedrawForced);
  auto [state, lock] = LockedState();
  if (LiveLocked(state, state.controllers, controller, __func__) != nullptr) {
    ++state.record.redraws;
  }
}

bool FlutterDesktopViewControllerHandleTopLevelWindowProc(
    FlutterDesktopViewControllerRef controller, HWND hwnd, UINT message, WPARAM wparam,
    LPARAM lparam, LRESULT* result) {
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler;
  {
    auto [state, lock] = LockedState();
    if (LiveLocked(state, state.controllers, controller, __func__) == nullptr) {
      return false;
    }
    state.record.window_messages.push_back(message);
    handler = state.window_proc_handler;
  }
  if (!handler) {
    return false;
  }
  std::optional<LRESULT> consumed = handler(hwnd, message, wparam, lparam);
  if (!consumed) {
    return false;
  }
  *result = *consumed;
  return true;
}

HWND FlutterDesktopViewGetHWND(FlutterDesktopViewRef view) {
  // The host asks for the view's window to attach it, right after registering the plug-ins.
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kPluginsRegistered);
  auto [state, lock] = LockedState();
  // A view lives as long as its view controller.
  for (const auto& controller : state.controllers) {
    if (&controller.second->view == view) {
      return view->window;
    }
  }
  orvane::testing::RecordViolationLocked(state, std::string(__func__) + ": handle not alive");
  return nullptr;
}

void FlutterDesktopResyncOutputStreams(void) {
  auto [state, lock] = LockedState();
  ++state.record.output_resyncs;
}

}  // extern "C"
