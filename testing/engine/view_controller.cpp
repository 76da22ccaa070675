// View controllers, their views, window messages, and the library's process-wide helpers.

#include <memory>

#include "testing/engine/standin_state.h"
#include "testing/engine/startup_profile.h"

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
    auto found = state.engines.find(engine);
    if (state.view_controller_creation_fails || found == state.engines.end()) {
      return nullptr;
    }
    found->second->handed_over = true;
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
  StandinState& state = State();
  HWND window = nullptr;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    ++state.record.view_controllers_destroyed;
    auto found = state.controllers.find(controller);
    if (found == state.controllers.end()) {
      return;
    }
    window = found->second->view.window;
    orvane::testing::ReleaseEngineLocked(state, found->second->engine);
    state.controllers.erase(found);
  }
  orvane::testing::DestroyViewWindow(window);
}

FlutterDesktopViewRef FlutterDesktopViewControllerGetView(
    FlutterDesktopViewControllerRef controller) {
  StandinState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.controllers.find(controller);
  return found == state.controllers.end() ? nullptr : &found->second->view;
}

void FlutterDesktopViewControllerForceRedraw(FlutterDesktopViewControllerRef /*controller*/) {
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kRedrawForced);
  StandinState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  ++state.record.redraws;
}

bool FlutterDesktopViewControllerHandleTopLevelWindowProc(
    FlutterDesktopViewControllerRef /*controller*/, HWND hwnd, UINT message, WPARAM wparam,
    LPARAM lparam, LRESULT* result) {
  StandinState& state = State();
  std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
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
  return view != nullptr ? view->window : nullptr;
}

void FlutterDesktopResyncOutputStreams(void) {
  StandinState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  ++state.record.output_resyncs;
}

}  // extern "C"
