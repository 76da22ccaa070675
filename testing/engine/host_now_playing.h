#pragma once

// The stand-in UI's now-playing calls. Like the UI program, it calls "start" once on the channel
// "com.orvane.now_playing" and then "getCurrent" about once a second, sending back the last
// signature it received as "since" (nothing before the first answer); it hands each reading (or
// the empty marker) to the demo's UI program to show and records each answer:
//   now-playing start <answer>
//   now-playing getCurrent since=<since, or - without arguments> <answer>
// An answer is "null", "true", a map "{key=value ...}" in key order (byte lists as
// <size>:<FNV-1a 32 in hex>), or "no-handler", "no-answer", "undecodable", "not implemented" or
// "error <code>/<message>".

#include <windows.h>

namespace orvane_standin {

// From the first frame on, on the view's thread; later calls do nothing, and so does every call
// with ORVANE_STANDIN_NOW_PLAYING=0 (the service never started, as closing is measured without it).
void StartNowPlaying(HWND view);

}  // namespace orvane_standin
