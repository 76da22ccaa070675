#pragma once

#include <string>
#include <vector>

// A trace sink for tests that formats each line (%s as UTF-16, %d, %u, %08x, %p) into ASCII.
namespace orvane::url_probe::testing {

void RecordTrace(const char16_t* format, ...);
std::vector<std::string>& RecordedTrace();

}  // namespace orvane::url_probe::testing
