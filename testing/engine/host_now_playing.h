#pragma once

// The stand-in UI's now-playing panel. Like the UI program, it calls "start" once on the channel
// "com.orvane.now_playing" and then "getCurrent" about once a second, sending back the last
// signature it received as "since" (nothing before the first answer); it shows the reading with
// its cover and records each answer:
//   now-playing start <answer>
//   now-playing getCurrent since=<since, or - without arguments> <answer>
//   now-playing cover <width>x<height>          (or "none": no artwork, or it did not decode)
// An answer is "null", "true", a map "{key=value ...}" in key order (byte lists as
// <size>:<FNV-1a 32 in hex>), or "no-handler" / "not-implemented" / "error" / "no-answer".

#include <windows.h>

namespace orvane_standin {

// From the first frame on, on the view's thread; later calls do nothing, and so does every call
// with ORVANE_STANDIN_NOW_PLAYING=0 (the service never started, as closing is measured without it).
void StartNowPlaying(HWND view);

// Draws the panel from (x, y) down; returns the y below it.
int PaintNowPlaying(HDC dc, int x, int y);

}  // namespace orvane_standin
