#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace orvane::testing {

// Collects what is written to std::cerr while it lives.
class StderrCapture {
 public:
  StderrCapture() : previous_(std::cerr.rdbuf(buffer_.rdbuf())) {}
  ~StderrCapture() { std::cerr.rdbuf(previous_); }

  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  std::string Text() const { return buffer_.str(); }

  // Complete lines, without their newlines.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream text(buffer_.str());
    for (std::string line; std::getline(text, line);) {
      lines.push_back(line);
    }
    return lines;
  }

 private:
  std::ostringstream buffer_;
  std::streambuf* previous_;
};

}  // namespace orvane::testing
