#pragma once

// A method result that notes the last answer given to it, and how many there were: for the tests
// and for the stand-in UI's channel calls.
#include <optional>
#include <string>

#include "client_wrapper/method_result.h"

namespace orvane::testing {

struct RecordingResult : MethodResult {
  void Success(const EncodableValue* result) override { Note("success", result); }
  void Error(const std::string& code, const std::string& message,
             const EncodableValue* details) override {
    Note("error " + code + "/" + message, details);
  }
  void NotImplemented() override { Note("not implemented", nullptr); }
  void Note(const std::string& what, const EncodableValue* v) {
    ++answers;
    outcome = what;
    value = v != nullptr ? std::optional<EncodableValue>(*v) : std::nullopt;
  }

  int answers = 0;
  std::string outcome = "none";
  std::optional<EncodableValue> value;
};

}  // namespace orvane::testing
