#include "client_wrapper/error_line.h"

#include <iostream>
#include <string>

namespace orvane {

void WriteErrorLine(std::string_view first, std::string_view second) {
  // Put together first, so that lines from different threads do not interleave.
  std::string line;
  line.reserve(first.size() + second.size() + 1);
  line.append(first).append(second).push_back('\n');
  std::cerr << line << std::flush;
}

}  // namespace orvane
