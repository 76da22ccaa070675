#pragma once

#include <windows.h>

#include <memory>

#include "client_wrapper/flutter_view_controller.h"
#include "now_playing/now_playing_service.h"
#include "runner/engine_project.h"
#include "runner/win32_window.h"

namespace orvane {

// The host's top-level window: creates the engine's view controller for its client area, registers
// the plug-ins and the now-playing service, shows the engine's view as its content and becomes
// visible at the engine's first frame unless started hidden. The engine sees every window message
// first.
class FlutterWindow : public Win32Window {
 public:
  FlutterWindow(const EngineProject& project, bool start_hidden);
  ~FlutterWindow() override;

 protected:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnWindowCreated() override;
  void OnWindowDestroyed() override;

 private:
  void ShowOnFirstFrame();
  // Releases the now-playing service, then the engine, each member emptied before its object goes,
  // so that the window messages sent meanwhile find nothing half-destroyed. Runs when the window is
  // destroyed, before a new engine is made, and, for a window still open, from the destructor.
  void ReleaseEngine();

  EngineProject project_;
  bool start_hidden_;
  std::unique_ptr<FlutterViewController> view_controller_;
  // Declared after the controller: it serves a channel on the controller's engine, so it goes
  // first.
  std::unique_ptr<now_playing::NowPlayingService> now_playing_;
};

}  // namespace orvane
