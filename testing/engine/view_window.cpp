// The view's window. The stand-in has no content of its own yet, so a view has no window.

#include "testing/engine/standin_state.h"

namespace orvane::testing {

HWND CreateViewWindow(int /*width*/, int /*height*/) { return nullptr; }

void DestroyViewWindow(HWND /*window*/) {}

}  // namespace orvane::testing
