// Decodes a reply envelope from any bytes: at most one answer, and only for a valid envelope.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "client_wrapper/standard_method_codec.h"
#include "fuzz/fuzz_support.h"

namespace {

class CountingResult : public orvane::MethodResult {
 public:
  void Success(const orvane::EncodableValue*) override { ++answers; }
  void Error(const std::string&, const std::string&, const orvane::EncodableValue*) override {
    ++answers;
  }
  void NotImplemented() override { ++answers; }
  int answers = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvane::fuzzing::SilenceErrorLines();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CountingResult result;
  bool accepted =
      orvane::StandardMethodCodec::Instance().DecodeResponseEnvelope(data, size, &result);
  if (result.answers != (accepted ? 1 : 0)) {
    std::abort();
  }
  return 0;
}
