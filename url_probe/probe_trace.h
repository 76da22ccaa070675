#pragma once

namespace orvane::url_probe {

// Receives one trace line: a printf-style format in which %s stands for a zero-terminated UTF-16
// string (const char16_t*), and its arguments.
using TraceSink = void (*)(const char16_t* format, ...);

// The probe's sink in the product: it discards every line without formatting it.
void probe_trace(const char16_t* format, ...);

}  // namespace orvane::url_probe
