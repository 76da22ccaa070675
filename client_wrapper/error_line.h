#pragma once

#include <string_view>

namespace orvane {

// The layer's only diagnostics: one line on standard error, newline, flush. Nothing is thrown.
void WriteErrorLine(std::string_view first, std::string_view second = {});

}  // namespace orvane
