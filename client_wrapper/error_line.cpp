#include "client_wrapper/error_line.h"

#include <exception>
#include <iostream>
#include <string>

namespace orvane {

void WriteErrorLine(std::string_view first, std::string_view second) noexcept {
  try {
    // Put together first, so that lines from different threads do not interleave.
    std::string line;
    line.reserve(first.size() + second.size() + 1);
    line.append(first).append(second).push_back('\n');
    std::cerr << line << std::flush;
  } catch (...) {
    // Out of memory: the line is lost, nothing else.
  }
}

void WriteCaughtExceptionLine(std::string_view where, std::string_view subject) noexcept {
  std::string_view what = "unknown exception";
  try {
    throw;
  } catch (const std::exception& exception) {
    what = exception.what();  // the object lives on in the caller's catch block
  } catch (...) {
  }
  try {
    std::string context = "Error: Uncaught exception in ";
    context.append(where).append(subject).append(": ");
    WriteErrorLine(context, what);
  } catch (...) {
  }
}

}  // namespace orvane
