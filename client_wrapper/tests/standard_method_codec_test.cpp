#include "client_wrapper/standard_method_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client_wrapper/tests/codec_test_support.h"
#include "client_wrapper/tests/stderr_capture.h"

namespace orvane {
namespace {

using testing::Bytes;
using testing::StderrCapture;

const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";
const char kNotAString[] = "Invalid method call; method name is not a string.";

const StandardMethodCodec& Codec() { return StandardMethodCodec::Instance(); }

// What DecodeResponseEnvelope handed over.
class RecordingResult : public MethodResult {
 public:
  void Success(const EncodableValue* result) override {
    outcome = "success";
    value = result != nullptr ? std::optional<EncodableValue>(*result) : std::nullopt;
  }
  void Error(const std::string& error_code, const std::string& error_message,
             const EncodableValue* error_details) override {
    outcome = "error " + error_code + "/" + error_message;
    value = error_details != nullptr ? std::optional<EncodableValue>(*error_details) : std::nullopt;
  }
  void NotImplemented() override { outcome = "not implemented"; }

  std::string outcome = "none";
  std::optional<EncodableValue> value;
};

TEST(StandardMethodCodecTest, EncodesCallsAndEnvelopes) {
  MethodCall start("start", nullptr);
  EXPECT_EQ(*Codec().EncodeMethodCall(start), (Bytes{0x07, 0x05, 's', 't', 'a', 'r', 't', 0x00}));
  EXPECT_EQ(*Codec().EncodeSuccessEnvelope(nullptr), (Bytes{0x00, 0x00}));
  EncodableValue null_value;
  EXPECT_EQ(*Codec().EncodeSuccessEnvelope(&null_value), (Bytes{0x00, 0x00}));
  EncodableValue yes(true);
  EXPECT_EQ(*Codec().EncodeSuccessEnvelope(&yes), (Bytes{0x00, 0x01}));
  EXPECT_EQ(*Codec().EncodeErrorEnvelope("E", "", nullptr),
            (Bytes{0x01, 0x07, 0x01, 'E', 0x00, 0x00}));
  EncodableValue details(int32_t{7});
  EXPECT_EQ(*Codec().EncodeErrorEnvelope("", "m", &details),
            (Bytes{0x01, 0x07, 0x00, 0x07, 0x01, 'm', 0x03, 7, 0, 0, 0}));
  // Padding counts from the envelope byte.
  EncodableValue one(1.0);
  EXPECT_EQ(*Codec().EncodeSuccessEnvelope(&one),
            (Bytes{0x00, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
}

TEST(StandardMethodCodecTest, DecodesCalls) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::optional<std::string> name;
    EncodableValue arguments;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"name and map",
       {0x07, 0x01, 'a', 0x0D, 0x01, 0x07, 0x01, 'k', 0x01},
       "a",
       EncodableValue(EncodableMap{{EncodableValue("k"), EncodableValue(true)}}),
       {}},
      {"name only", {0x07, 0x01, 'a'}, "a", EncodableValue(), {kInvalidRead}},
      {"name not a string",
       {0x03, 0x01, 0x00, 0x00, 0x00},
       std::nullopt,
       EncodableValue(),
       {kNotAString}},
      {"empty message", {}, std::nullopt, EncodableValue(), {kInvalidRead, kNotAString}},
  };
  for (const Case& c : cases) {
    StderrCapture capture;
    std::unique_ptr<MethodCall> call = Codec().DecodeMethodCall(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(capture.Lines(), c.lines) << c.what;
    ASSERT_EQ(call != nullptr, c.name.has_value()) << c.what;
    if (!call) continue;
    EXPECT_EQ(call->method_name(), *c.name) << c.what;
    ASSERT_NE(call->arguments(), nullptr) << c.what;
    EXPECT_EQ(*call->arguments(), c.arguments) << c.what;
  }
}

TEST(StandardMethodCodecTest, DecodesResponseEnvelopes) {
  struct Case {
    const char* what;
    Bytes bytes;
    bool accepted;
    std::string outcome;
    std::optional<EncodableValue> value;
    size_t invalid_reads;
  };
  const std::vector<Case> cases = {
      {"success with a value", {0x00, 0x03, 5, 0, 0, 0}, true, "success", EncodableValue(5), 0},
      {"success with null", {0x00, 0x00}, true, "success", std::nullopt, 0},
      {"empty buffer", {}, true, "success", std::nullopt, 2},
      {"error without details",
       {0x01, 0x07, 0x01, 'E', 0x00, 0x00},
       true,
       "error E/",
       std::nullopt,
       0},
      {"error with all",
       {0x01, 0x07, 0x01, 'E', 0x07, 0x01, 'm', 0x01},
       true,
       "error E/m",
       EncodableValue(true),
       0},
      {"not an envelope", {0x02, 0x00}, false, "none", std::nullopt, 0},
      // Malformed error envelopes are refused rather than answered with made-up text.
      {"error code not a string",
       {0x01, 0x03, 1, 0, 0, 0, 0x00, 0x00},
       false,
       "none",
       std::nullopt,
       0},
      {"error message a number",
       {0x01, 0x07, 0x01, 'E', 0x01, 0x00},
       false,
       "none",
       std::nullopt,
       0},
      {"truncated error", {0x01}, false, "none", std::nullopt, 3},
  };
  for (const Case& c : cases) {
    StderrCapture capture;
    RecordingResult result;
    EXPECT_EQ(Codec().DecodeResponseEnvelope(c.bytes.data(), c.bytes.size(), &result), c.accepted)
        << c.what;
    EXPECT_EQ(result.outcome, c.outcome) << c.what;
    EXPECT_EQ(result.value, c.value) << c.what;
    EXPECT_EQ(capture.Lines(), std::vector<std::string>(c.invalid_reads, kInvalidRead)) << c.what;
  }
}

TEST(StandardMethodCodecTest, OneCodecPerSerializer) {
  StandardCodecSerializer other;
  EXPECT_EQ(&StandardMethodCodec::Instance(), &StandardMethodCodec::Instance(nullptr));
  EXPECT_EQ(&StandardMethodCodec::Instance(),
            &StandardMethodCodec::Instance(&StandardCodecSerializer::Instance()));
  EXPECT_NE(&StandardMethodCodec::Instance(&other), &StandardMethodCodec::Instance());
  EXPECT_EQ(&StandardMethodCodec::Instance(&other), &StandardMethodCodec::Instance(&other));
}

}  // namespace
}  // namespace orvane
