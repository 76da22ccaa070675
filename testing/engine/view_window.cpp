// The view's window where there is no window system: a view has no window, and every monitor
// is a plain 96 DPI one. The Windows stand-in has a real view window instead (host_view.cpp).

#include "testing/engine/standin_state.h"

namespace orvane::testing {

HWND CreateViewWindow(int /*width*/, int /*height*/) { return nullptr; }

void DestroyViewWindow(HWND /*window*/) {}

}  // namespace orvane::testing

extern "C" UINT FlutterDesktopGetDpiForMonitor(HMONITOR /*monitor*/) { return 96; }
