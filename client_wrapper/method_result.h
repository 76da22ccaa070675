#pragma once

#include <string>

#include "client_wrapper/encodable_value.h"

namespace orvane {

// The one answer to one call. Only the first of Success, Error and NotImplemented counts.
class MethodResult {
 public:
  MethodResult() = default;
  virtual ~MethodResult() = default;

  MethodResult(const MethodResult&) = delete;
  MethodResult& operator=(const MethodResult&) = delete;

  // None and a null value are the same answer.
  virtual void Success(const EncodableValue* result) = 0;
  virtual void Error(const std::string& error_code, const std::string& error_message,
                     const EncodableValue* error_details) = 0;
  virtual void NotImplemented() = 0;

  void Success() { Success(nullptr); }
  void Success(const EncodableValue& result) { Success(&result); }
  void Error(const std::string& error_code, const std::string& error_message = "") {
    Error(error_code, error_message, nullptr);
  }
  void Error(const std::string& error_code, const std::string& error_message,
             const EncodableValue& error_details) {
    Error(error_code, error_message, &error_details);
  }
};

}  // namespace orvane
