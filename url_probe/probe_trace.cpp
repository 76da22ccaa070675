#include "url_probe/probe_trace.h"

namespace orvane::url_probe {

void probe_trace(const char16_t*, ...) {}

}  // namespace orvane::url_probe
