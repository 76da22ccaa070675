#include "runner/flutter_window.h"

#include <utility>

#include "runner/native_plugins.h"

namespace orvane {

FlutterWindow::FlutterWindow(const EngineProject& project, bool start_hidden)
    : project_(project), start_hidden_(start_hidden) {}

FlutterWindow::~FlutterWindow() { ReleaseEngine(); }

bool FlutterWindow::OnWindowCreated() {
  const RECT frame = ClientBounds();
  // The controller held before (if any) goes only once the new one is in place.
  std::unique_ptr<FlutterViewController> previous = std::exchange(
      view_controller_, std::make_unique<FlutterViewController>(
                            frame.right - frame.left, frame.bottom - frame.top, project_));
  previous.reset();
  if (view_controller_->engine() == nullptr || view_controller_->view() == nullptr) {
    return false;
  }
  RegisterNativePlugins(view_controller_->engine());
  AttachContent(view_controller_->view()->native_window());
  view_controller_->engine()->SetNextFrameCallback([this]() { ShowOnFirstFrame(); });
  view_controller_->ForceRedraw();
  return true;
}

void FlutterWindow::ShowOnFirstFrame() {
  if (!start_hidden_) {
    MakeVisible();
  }
}

void FlutterWindow::OnWindowDestroyed() {
  ReleaseEngine();
  Win32Window::OnWindowDestroyed();
}

void FlutterWindow::ReleaseEngine() {
  std::unique_ptr<FlutterViewController> controller = std::move(view_controller_);
  controller.reset();
}

LRESULT FlutterWindow::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (view_controller_) {
    std::optional<LRESULT> result =
        view_controller_->HandleTopLevelWindowProc(window, message, wparam, lparam);
    if (result) {
      return *result;
    }
  }
  if (message == WM_FONTCHANGE && view_controller_) {
    view_controller_->engine()->ReloadSystemFonts();
  }
  return Win32Window::HandleMessage(window, message, wparam, lparam);
}

}  // namespace orvane
