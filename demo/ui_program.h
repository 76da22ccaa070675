#pragma once

// The demo's UI program: what the stand-in engine (testing/engine) shows in its view, as the
// compiled UI program would. It lists the arguments the UI program received, what the
// executable's URL exports answer for the browser-like window that scripts/demo.sh starts, and
// what is playing. Compiled into the stand-in engine library; runs on the view's thread.

#include <windows.h>

#include "client_wrapper/encodable_value.h"

namespace orvane_demo {

// Once the first frame is done.
void Start(HWND view);
// WM_PAINT.
void Paint(HWND view);
// Each "getCurrent" answer that is a reading or the empty marker.
void ShowReading(HWND view, const orvane::EncodableMap& reading);

}  // namespace orvane_demo
