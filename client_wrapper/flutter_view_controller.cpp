#include "client_wrapper/flutter_view_controller.h"

#include <utility>

#include "client_wrapper/error_line.h"

namespace orvane {

FlutterViewController::FlutterViewController(int width, int height, const EngineProject& project) {
  engine_ = std::make_shared<FlutterEngine>(project);
  FlutterDesktopEngineRef engine_handle = engine_->HandOverEngine();
  // Without an engine there is nothing to hand to the library: fail as if it had refused.
  if (engine_handle != nullptr) {
    controller_handle_ = FlutterDesktopViewControllerCreate(width, height, engine_handle);
  }
  if (controller_handle_ == nullptr) {
    WriteErrorLine("Failed to create view controller.");
    return;
  }
  view_ = std::make_unique<FlutterView>(FlutterDesktopViewControllerGetView(controller_handle_));
}

FlutterViewController::~FlutterViewController() {
  // The controller handle owns the engine handle: destroying it releases both. Forgotten first:
  // the library sends window messages while it takes the view down, and a window that forwards
  // them here must find no handle.
  if (FlutterDesktopViewControllerRef handle = std::exchange(controller_handle_, nullptr)) {
    FlutterDesktopViewControllerDestroy(handle);
  }
  view_.reset();
  engine_.reset();
}

void FlutterViewController::ForceRedraw() {
  if (controller_handle_ != nullptr) {
    FlutterDesktopViewControllerForceRedraw(controller_handle_);
  }
}

std::optional<LRESULT> FlutterViewController::HandleTopLevelWindowProc(HWND hwnd, UINT message,
                                                                       WPARAM wparam,
                                                                       LPARAM lparam) {
  if (controller_handle_ == nullptr) {
    return std::nullopt;
  }
  LRESULT result = 0;
  if (FlutterDesktopViewControllerHandleTopLevelWindowProc(controller_handle_, hwnd, message,
                                                           wparam, lparam, &result)) {
    return result;
  }
  return std::nullopt;
}

}  // namespace orvane
