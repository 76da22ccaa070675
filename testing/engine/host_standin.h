#pragma once

// The engine stand-in's side that the shell sees as a real Windows engine: a child window as the
// view, frames reported on the window's thread, the monitor DPI, view creation that can fail and
// top-level messages it can consume. A test that runs the real executable controls it through
// environment variables and reads what happened from the record (standin_record.h):
//   ORVANE_STANDIN_DPI=<n>            DPI reported for every monitor (default 96)
//   ORVANE_STANDIN_FAIL_VIEW=1        view controller creation fails
//   ORVANE_STANDIN_CONSUME=<message>  that top-level message (decimal or 0x hex) is consumed,
//   result 0 ORVANE_STANDIN_CALL_EXPORTS=0     the stand-in UI looks up the URL exports but does
//   not call them ORVANE_STANDIN_RECORD=<file>      where the record goes

#include <windows.h>

#include <string>
#include <vector>

#include "client_wrapper/flutter_windows.h"

namespace orvane_standin {

struct HostSettings {
  UINT dpi = 96;
  bool fail_view = false;
  bool consume = false;
  UINT consumed_message = 0;
  bool call_exports = true;
};

// Read from the environment at each call, so that an in-process test can change them.
HostSettings ReadHostSettings();

// Engine creation: records the arguments and hands them to the stand-in UI.
void OnEngineCreated(const FlutterDesktopEngineProperties& properties);

// Creates the view's window (parked under a hidden window of its own until the shell adopts it),
// or nothing when the settings say that view creation fails.
HWND CreateViewWindow(int width, int height);
void DestroyViewWindow(HWND view);

// The next-frame callback fires once, on the view's thread, after the next ForceRedraw.
void SetNextFrameCallback(FlutterDesktopOnNextFrameCallback callback, void* user_data);
void ForceRedraw(HWND view);

// True (with *result set) when the settings make the stand-in consume this message.
bool HandleTopLevelMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                           LRESULT* result);

void OnReloadSystemFonts();

}  // namespace orvane_standin
