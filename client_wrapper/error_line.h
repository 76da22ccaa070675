#pragma once

#include <string_view>

namespace orvane {

// The layer's only diagnostics: one line on standard error, newline, flush. Nothing is thrown.
void WriteErrorLine(std::string_view first, std::string_view second = {}) noexcept;

// For a catch block at a callback that the engine library calls (nothing may unwind into it):
// one line naming the callback (`where` followed by `subject`) and what the exception says.
void WriteCaughtExceptionLine(std::string_view where, std::string_view subject = {}) noexcept;

}  // namespace orvane
