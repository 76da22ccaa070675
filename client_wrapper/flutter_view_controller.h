#pragma once

#include <memory>
#include <optional>

#include "client_wrapper/flutter_engine.h"
#include "client_wrapper/flutter_view.h"
#include "client_wrapper/flutter_windows.h"
#include "runner/engine_project.h"

namespace orvane {

// Creates the engine and its view for a window's client area. Creation either succeeds
// completely or leaves no view (the engine wrapper is always there).
class FlutterViewController {
 public:
  // Width and height of the host window's client area, in physical pixels.
  FlutterViewController(int width, int height, const EngineProject& project);
  virtual ~FlutterViewController();

  FlutterViewController(const FlutterViewController&) = delete;
  FlutterViewController& operator=(const FlutterViewController&) = delete;

  FlutterEngine* engine() const { return engine_.get(); }
  // None when creation failed.
  FlutterView* view() const { return view_.get(); }

  void ForceRedraw();

  // A result when the engine consumed the message; none lets the window handle it itself.
  std::optional<LRESULT> HandleTopLevelWindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                                  LPARAM lparam);

 private:
  FlutterDesktopViewControllerRef controller_handle_ = nullptr;
  std::shared_ptr<FlutterEngine> engine_;
  std::unique_ptr<FlutterView> view_;
};

}  // namespace orvane
