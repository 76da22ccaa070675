#include "runner/flutter_window.h"

#include <utility>

#include "now_playing/windows/windows_ports.h"
#include "runner/native_plugins.h"

namespace orvane {

FlutterWindow::FlutterWindow(const EngineProject& project, bool start_hidden)
    : project_(project), start_hidden_(start_hidden) {}

FlutterWindow::~FlutterWindow() { ReleaseEngine(); }

bool FlutterWindow::OnWindowCreated() {
  // Anything held before goes once the new objects are in place, in the one order: declared in
  // this order, the earlier service is destroyed before the earlier controller and its engine.
  std::unique_ptr<FlutterViewController> earlier_controller = std::move(view_controller_);
  std::unique_ptr<now_playing::NowPlayingService> earlier_service = std::move(now_playing_);
  const RECT frame = ClientBounds();
  view_controller_ = std::make_unique<FlutterViewController>(frame.right - frame.left,
                                                             frame.bottom - frame.top, project_);
  // The controller always has its engine object; without a view the library refused them.
  if (view_controller_->view() == nullptr) {
    return false;
  }
  RegisterNativePlugins(view_controller_->engine());
  now_playing_ = std::make_unique<now_playing::NowPlayingService>(
      view_controller_->engine()->messenger(), now_playing::windows::MakeWindowsPorts());
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
  // The service first: its channel lives on the engine's messenger, and stopping it waits for
  // its poller, which must end before COM goes.
  std::unique_ptr<now_playing::NowPlayingService> service = std::move(now_playing_);
  service.reset();
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
