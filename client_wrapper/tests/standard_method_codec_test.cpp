#include "client_wrapper/standard_method_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client_wrapper/tests/test_support.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers
using V = EncodableValue;

const StandardMethodCodec& Codec() { return StandardMethodCodec::Instance(); }

TEST(StandardMethodCodecTest, EncodesCallsAndEnvelopes) {
  const V seven(7), one(1.0);
  const std::vector<std::pair<Bytes, Bytes>> cases = {
      // Padding counts from the envelope byte.
      {*Codec().EncodeSuccessEnvelope(&one),
       {0, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      // An empty message goes as a null.
      {*Codec().EncodeErrorEnvelope("E", "", nullptr), {0x01, 0x07, 0x01, 'E', 0x00, 0x00}},
      {*Codec().EncodeErrorEnvelope("", "m", &seven),
       {0x01, 0x07, 0x00, 0x07, 0x01, 'm', 0x03, 7, 0, 0, 0}},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

// A name without arguments is still a call, with a null argument (and the invalid-read line).
TEST(StandardMethodCodecTest, DecodesACallWithoutArguments) {
  const Bytes bytes = {0x07, 0x01, 'a'};
  StderrCapture capture;
  std::unique_ptr<MethodCall> call = Codec().DecodeMethodCall(bytes.data(), bytes.size());
  EXPECT_EQ(capture.Get(), Lines{kInvalidRead});
  ASSERT_NE(call, nullptr);
  EXPECT_EQ(call->method_name(), "a");
  ASSERT_NE(call->arguments(), nullptr);
  EXPECT_TRUE(call->arguments()->IsNull());
}

// Notes what DecodeResponseEnvelope handed over.
struct RecordingResult : MethodResult {
  void Success(const V* result) override { Note("success", result); }
  void Error(const std::string& code, const std::string& message, const V* details) override {
    Note("error " + code + "/" + message, details);
  }
  void NotImplemented() override { Note("not implemented", nullptr); }
  void Note(const std::string& what, const V* v) {
    outcome = what;
    value = v != nullptr ? std::optional<V>(*v) : std::nullopt;
  }

  std::string outcome = "none";
  std::optional<V> value;
};

TEST(StandardMethodCodecTest, DecodesResponseEnvelopes) {
  struct Case {
    Bytes bytes;
    bool accepted;
    std::string outcome;
    std::optional<V> value;
    size_t invalid_reads;
  };
  const std::vector<Case> cases = {
      {{0x00, 0x03, 5, 0, 0, 0}, true, "success", V(5), 0},
      {{}, true, "success", std::nullopt, 2},
      {{0x01, 0x07, 0x01, 'E', 0x00, 0x00}, true, "error E/", std::nullopt, 0},
      {{0x01, 0x07, 0x01, 'E', 0x07, 0x01, 'm', 0x01}, true, "error E/m", V(true), 0},
      {{0x02, 0x00}, false, "none", std::nullopt, 0},
      // Malformed error envelopes are refused rather than answered with made-up text.
      {{0x01, 0x03, 1, 0, 0, 0, 0x00, 0x00}, false, "none", std::nullopt, 0},
      {{0x01, 0x07, 0x01, 'E', 0x01, 0x00}, false, "none", std::nullopt, 0},
      {{0x01}, false, "none", std::nullopt, 3},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    StderrCapture capture;
    RecordingResult result;
    EXPECT_EQ(Codec().DecodeResponseEnvelope(c.bytes.data(), c.bytes.size(), &result), c.accepted)
        << i;
    EXPECT_EQ(result.outcome, c.outcome) << i;
    EXPECT_EQ(result.value, c.value) << i;
    EXPECT_EQ(capture.Get(), Lines(c.invalid_reads, kInvalidRead)) << i;
  }
}

}  // namespace
}  // namespace orvane
