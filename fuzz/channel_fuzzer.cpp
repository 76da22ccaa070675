// Everything that reads bytes from the UI program, over the same input: a value read must survive
// writing and reading again, a method call must re-encode to itself, and a reply envelope gets
// at most one answer, and only when valid.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>

#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/test_support.h"

using namespace orvane::testing;  // NOLINT: the test helpers

// Hostile input makes the codec write an error line for nearly every input; written to a file
// they would dominate the run. The lines themselves are checked by the tests.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  struct Discard : std::streambuf {
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  };
  static Discard discard;
  std::cerr.rdbuf(&discard);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Compared as bytes: a NaN never equals itself as a value.
  const Bytes written = Encode(Decode(Bytes(data, data + size)));
  if (Encode(Decode(written)) != written) std::abort();

  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  if (std::unique_ptr<orvane::MethodCall> call = codec.DecodeMethodCall(data, size)) {
    const std::unique_ptr<Bytes> encoded = codec.EncodeMethodCall(*call);
    std::unique_ptr<orvane::MethodCall> again =
        codec.DecodeMethodCall(encoded->data(), encoded->size());
    if (!again || again->method_name() != call->method_name() ||
        *codec.EncodeMethodCall(*again) != *encoded) {
      std::abort();
    }
  }

  RecordingResult result;
  const bool accepted = codec.DecodeResponseEnvelope(data, size, &result);
  if (result.answers != (accepted ? 1 : 0)) std::abort();
  return 0;
}
