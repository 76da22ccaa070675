#pragma once

#include "url_probe/probe_port.h"

namespace orvane::url_probe::windows {

// The accessible object of the window's client area (OBJID_CLIENT), wrapped for the walk.
PortResult<AccObject> AccessibleClientObject(WindowHandle hwnd);

}  // namespace orvane::url_probe::windows
