#pragma once

#include <cstdint>
#include <string>

#include "url_probe/probe_port.h"
#include "url_probe/url_probe_state.h"

// The bodies of the exported URL functions, apart from their C signatures. Buffers are the
// caller's, of 16-bit units; capacities count units with the terminator; results count units
// without it.
namespace orvane::url_probe {

// The state is only created once a call's arguments have passed the checks.
using StateAccessor = UrlProbeState& (*)();

// Null handle, null buffer or a capacity below 2: the call does nothing and returns 0.
bool export_arguments_valid(WindowHandle hwnd, const char16_t* buffer, int32_t capacity);

// Copies at most capacity - 1 units of `url` and a terminator; returns the units copied.
// Requires valid arguments.
int32_t copy_out(const std::u16string& url, char16_t* buffer, int32_t capacity);

int32_t get_url_for_hwnd(ProbePlatform& platform, WindowHandle hwnd, char16_t* buffer,
                         int32_t capacity);
void request_url_for_hwnd(StateAccessor state, WindowHandle hwnd);
int32_t get_cached_url(StateAccessor state, WindowHandle hwnd, char16_t* buffer, int32_t capacity);

}  // namespace orvane::url_probe
