#pragma once

// The stand-in engine as the shell sees it on Windows: a real child window as the view, showing
// the stand-in UI; the next-frame callback fired on the window's thread after ForceRedraw; the
// monitor DPI; view creation that can fail; top-level messages it can consume. A test that runs
// the real executable controls it through environment variables and reads what happened from
// the record (standin_record.h):
//   ORVANE_STANDIN_DPI=<n>            DPI reported for every monitor (default 96)
//   ORVANE_STANDIN_FAIL_VIEW=1        view controller creation fails
//   ORVANE_STANDIN_FAIL_WINDOW=1      the executable's CreateWindowExW fails once it has asked
//                                     for the DPI (its import is redirected)
// clang-format off
//   ORVANE_STANDIN_CONSUME=<message>  that top-level message (decimal or 0x hex) is consumed,
//                                     with result 0
//   ORVANE_STANDIN_QUIT=1             after the first frame the engine posts the quit message on
//                                     the window thread, as a UI asking the application to exit
//   ORVANE_STANDIN_RECORD=<file>      where the record goes; it ends with "violations <count>"
// clang-format on

#include <windows.h>

#include <string>

namespace orvane_standin {

struct HostSettings {
  UINT dpi = 96;
  bool fail_view = false;
  bool fail_window = false;
  bool consume = false;
  UINT consumed_message = 0;
  bool post_quit = false;
  bool recording = false;
};

// Read from the environment once, on first use: they are the process's launch settings, asked
// for on every window message.
const HostSettings& ReadHostSettings();

// When recording, the executable's CoUninitialize calls write "com-uninitialized" to the record
// first (its import is redirected), so that a test sees what was released before COM went.
void WatchComUninitialize();

}  // namespace orvane_standin
