#pragma once

#include <memory>
#include <string>

#include "client_wrapper/encodable_value.h"

namespace orvane {

// One decoded call: the method's name and its arguments. Not changed after construction.
class MethodCall {
 public:
  MethodCall(const std::string& method_name, std::unique_ptr<EncodableValue> arguments)
      : method_name_(method_name), arguments_(std::move(arguments)) {}
  virtual ~MethodCall() = default;

  MethodCall(const MethodCall&) = delete;
  MethodCall& operator=(const MethodCall&) = delete;

  const std::string& method_name() const { return method_name_; }
  // None only for calls built without arguments; decoded calls always have a value (maybe null).
  const EncodableValue* arguments() const { return arguments_.get(); }

 private:
  std::string method_name_;
  std::unique_ptr<EncodableValue> arguments_;
};

}  // namespace orvane
