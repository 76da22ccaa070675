#pragma once

#include "client_wrapper/flutter_windows.h"

namespace orvane {

// The engine's view; the handle belongs to the view controller.
class FlutterView {
 public:
  explicit FlutterView(FlutterDesktopViewRef view);
  virtual ~FlutterView();

  FlutterView(const FlutterView&) = delete;
  FlutterView& operator=(const FlutterView&) = delete;

  // The child window that shows the UI.
  HWND native_window() const;

 private:
  FlutterDesktopViewRef view_handle_;
};

}  // namespace orvane
