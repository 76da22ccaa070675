#include "client_wrapper/error_line.h"

#include <iostream>

namespace orvane {

void WriteErrorLine(std::string_view first, std::string_view second) {
  std::cerr << first << second << std::endl;
}

}  // namespace orvane
