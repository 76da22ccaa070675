// Decodes a method call from any bytes; a call that comes out must encode and decode to itself.

#include <cstdint>
#include <cstdlib>

#include "client_wrapper/standard_method_codec.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvane::fuzzing::SilenceErrorLines();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  std::unique_ptr<orvane::MethodCall> call = codec.DecodeMethodCall(data, size);
  if (!call) {
    return 0;
  }
  std::unique_ptr<std::vector<uint8_t>> encoded = codec.EncodeMethodCall(*call);
  std::unique_ptr<orvane::MethodCall> again =
      codec.DecodeMethodCall(encoded->data(), encoded->size());
  if (!again || again->method_name() != call->method_name() ||
      *codec.EncodeMethodCall(*again) != *encoded) {
    std::abort();
  }
  return 0;
}
