#pragma once

#include <string>

#include "url_probe/probe_port.h"
#include "url_probe/probe_trace.h"

namespace orvane::url_probe {

// The traced form also reads the root's name and class name and reports each step to the sink;
// both forms return the same URL.
enum class ProbeForm { kUntraced, kTraced };

// The address shown by the browser window `hwnd`: the value of the Edit control that identifies
// itself as the address bar, else the first URL-like Edit value, else the best URL-like text of
// the accessibility tree. Empty on every failure. Initialises COM on the calling thread for its
// own work and leaves the thread's COM state as it found it.
std::u16string probe_url_for_window(ProbePlatform& platform, WindowHandle hwnd, ProbeForm form,
                                    TraceSink trace = probe_trace);

}  // namespace orvane::url_probe
