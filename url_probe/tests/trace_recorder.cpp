#include "url_probe/tests/trace_recorder.h"

#include <cstdarg>
#include <cstdio>

namespace orvane::url_probe::testing {

std::vector<std::string>& RecordedTrace() {
  static std::vector<std::string> lines;
  return lines;
}

void RecordTrace(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::string line;
  char number[32];
  for (const char16_t* p = format; *p != u'\0'; ++p) {
    if (*p != u'%') {
      line += static_cast<char>(*p);
      continue;
    }
    ++p;
    if (*p == u's') {
      for (const char16_t* s = va_arg(args, const char16_t*); *s != u'\0'; ++s) {
        line += *s < 0x80 ? static_cast<char>(*s) : '?';
      }
    } else if (*p == u'd') {
      std::snprintf(number, sizeof number, "%d", va_arg(args, int));
      line += number;
    } else if (*p == u'u') {
      std::snprintf(number, sizeof number, "%u", va_arg(args, unsigned));
      line += number;
    } else if (*p == u'0') {  // %08x
      p += 2;
      std::snprintf(number, sizeof number, "%08x", va_arg(args, unsigned));
      line += number;
    } else if (*p == u'p') {
      std::snprintf(number, sizeof number, "%p", va_arg(args, void*));
      line += number;
    }
  }
  va_end(args);
  RecordedTrace().push_back(line);
}

}  // namespace orvane::url_probe::testing
