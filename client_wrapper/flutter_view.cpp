#include "client_wrapper/flutter_view.h"

namespace orvane {

FlutterView::FlutterView(FlutterDesktopViewRef view) : view_handle_(view) {}

FlutterView::~FlutterView() = default;

HWND FlutterView::native_window() const { return FlutterDesktopViewGetHWND(view_handle_); }

}  // namespace orvane
