#pragma once

#include <iostream>
#include <streambuf>

namespace orvane::fuzzing {

// Hostile input makes the codec write an error line for nearly every input; written to a file
// they would dominate the run. The lines themselves are checked by the tests.
inline void SilenceErrorLines() {
  class Discard : public std::streambuf {
   protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  };
  static Discard discard;
  std::cerr.rdbuf(&discard);
}

}  // namespace orvane::fuzzing
