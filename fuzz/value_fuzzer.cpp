// Reads one value from any bytes; what was read must survive writing and reading again unchanged.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/standard_codec_serializer.h"
#include "fuzz/fuzz_support.h"

namespace {

std::vector<uint8_t> Write(const orvane::EncodableValue& value) {
  std::vector<uint8_t> bytes;
  orvane::ByteBufferStreamWriter writer(&bytes);
  orvane::StandardCodecSerializer::Instance().WriteValue(value, &writer);
  return bytes;
}

orvane::EncodableValue Read(const uint8_t* data, size_t size) {
  orvane::ByteBufferStreamReader reader(data, size);
  return orvane::StandardCodecSerializer::Instance().ReadValue(&reader);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvane::fuzzing::SilenceErrorLines();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> written = Write(Read(data, size));
  // Compared as bytes: a NaN never equals itself as a value.
  std::vector<uint8_t> rewritten = Write(Read(written.data(), written.size()));
  if (written != rewritten) {
    std::abort();
  }
  return 0;
}
