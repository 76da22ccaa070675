#include "client_wrapper/standard_codec_serializer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/test_support.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers
using V = EncodableValue;

Bytes Join(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST(StandardCodecTest, WritesAndReadsBackTheWireForm) {
  struct Case {
    V value;
    size_t skip;  // bytes before the value in the message: padding counts from its start
    Bytes bytes;
  };
  const std::string q253(253, 'q'), q254(254, 'q'), q65535(65535, 'q'), q65536(65536, 'q');
  const std::vector<Case> cases = {
      {V(), 0, {0x00}},
      {V(true), 0, {0x01}},
      {V(int32_t{-2}), 0, {0x03, 0xFE, 0xFF, 0xFF, 0xFF}},
      {V(int64_t{1} << 40), 0, {0x04, 0, 0, 0, 0, 0, 1, 0, 0}},
      {V(1.0), 1, {0, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {V("ab"), 0, {0x07, 0x02, 'a', 'b'}},
      {V(q253), 0, Join({0x07, 0xFD}, Bytes(q253.begin(), q253.end()))},
      {V(q254), 0, Join({0x07, 0xFE, 0xFE, 0x00}, Bytes(q254.begin(), q254.end()))},
      {V(q65535), 0, Join({0x07, 0xFE, 0xFF, 0xFF}, Bytes(q65535.begin(), q65535.end()))},
      {V(q65536), 0, Join({0x07, 0xFF, 0, 0, 1, 0}, Bytes(q65536.begin(), q65536.end()))},
      {V(Bytes{}), 0, {0x08, 0x00}},
      {V(Bytes{7, 8}), 0, {0x08, 0x02, 7, 8}},
      {V(std::vector<int32_t>{}), 0, {0x09, 0x00, 0, 0}},
      {V(std::vector<int32_t>{1}), 0, {0x09, 0x01, 0, 0, 1, 0, 0, 0}},
      {V(std::vector<int32_t>{1}), 2, {0, 0, 0x09, 0x01, 1, 0, 0, 0}},  // aligned already
      {V(std::vector<int64_t>{}), 0, {0x0A, 0x00, 0, 0, 0, 0, 0, 0}},
      {V(std::vector<double>{1.0}), 1, {0, 0x0B, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {V(std::vector<float>{1.0f}), 0, {0x0E, 0x01, 0, 0, 0, 0, 0x80, 0x3F}},
      {V(EncodableList{V(1), V("x")}), 0, {0x0C, 0x02, 0x03, 1, 0, 0, 0, 0x07, 0x01, 'x'}},
      // In key order.
      {V(EncodableMap{{V("b"), V(true)}, {V("a"), V(false)}}),
       0,
       {0x0D, 0x02, 0x07, 0x01, 'a', 0x02, 0x07, 0x01, 'b', 0x01}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    StderrCapture capture;
    EXPECT_EQ(Encode(c.value, Bytes(c.skip, 0)), c.bytes) << i;
    size_t location = 0;
    EXPECT_EQ(Decode(c.bytes, c.skip, &location), c.value) << i;
    EXPECT_EQ(location, c.bytes.size()) << i;
    EXPECT_EQ(capture.Get(), Lines{}) << i;
  }
}

// An alignment of 0 leaves the streams where they are; nothing can be read from nothing.
TEST(StandardCodecTest, StreamsTakeAlignmentZeroAndEmptyReads) {
  Bytes buffer = {1};
  ByteBufferStreamWriter(&buffer).WriteAlignment(0);
  EXPECT_EQ(buffer, Bytes{1});
  ByteBufferStreamReader reader(buffer.data(), buffer.size());
  reader.ReadAlignment(0);
  EXPECT_EQ(reader.ReadByte(), 1);
  EXPECT_NE(ByteBufferStreamReader(nullptr, 0).ReadInPlace(0), nullptr);
}

// What other writers may send, short messages and hostile sizes. Sizes far beyond the message
// cost neither memory nor time: a payload that cannot be there reads as empty (up to a limit, a
// short one as zeros), a list or map ends with the message.
TEST(StandardCodecTest, ReadsWhatOnlyOthersWrite) {
  struct Case {
    Bytes bytes;
    V value;
    size_t invalid_reads;
  };
  const Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const std::vector<Case> cases = {
      {{0x07, 0xFE, 0x01, 0x00, 'a'}, V("a"), 0},  // a longer size form than needed
      {{0x05, 0x02, '1', '2'}, V("12"), 0},        // the old string tag
      {{0x0D, 0x02, 0x07, 0x01, 'a', 0x03, 1, 0, 0, 0, 0x07, 0x01, 'a', 0x03, 2, 0, 0, 0},
       V(EncodableMap{{V("a"), V(1)}}),
       0},  // the first of two equal keys
      {{0x01, 0x02, 0x03}, V(true), 0},
      {{}, V(), 1},
      {{0x07, 0x0A, 'a', 'b'}, V(std::string(10, '\0')), 1},
      {{0x07, 0xFE, 0x01}, V(""), 1},
      {{0x09, 0x03, 0, 0, 1, 0, 0, 0}, V(std::vector<int32_t>{0, 0, 0}), 1},
      {{0x06}, V(0.0), 1},
      {{0x08, 0xFE, 0x00, 0x04}, V(Bytes(1024)), 1},
      {{0x08, 0xFE, 0x01, 0x04}, V(Bytes{}), 1},
      {Join(Join({0x08}, huge), {1, 2, 3}), V(Bytes{}), 1},
      {Join({0x0A}, huge), V(std::vector<int64_t>{}), 1},
      {Join(Join({0x0C}, huge), {1, 2}), V(EncodableList{V(true), V(false), V()}), 1},
      {Join(Join({0x0D}, huge), {0x07, 0x01, 'a', 0x01}),
       V(EncodableMap{{V("a"), V(true)}, {V(), V()}}), 2},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    StderrCapture capture;
    EXPECT_EQ(Decode(cases[i].bytes), cases[i].value) << i;
    EXPECT_EQ(capture.Get(), Lines(cases[i].invalid_reads, kInvalidRead)) << i;
  }
  StderrCapture capture;
  EXPECT_EQ(Decode({0x0F, 0x01}), V());
  EXPECT_EQ(capture.Get(), Lines{"Unknown type in StandardCodecSerializer::ReadValueOfType: 15"});
}

int Depth(const V& value) {
  const EncodableList* list = value.TryGet<EncodableList>();
  return list == nullptr || list->empty() ? 0 : 1 + Depth(list->front());
}

TEST(StandardCodecTest, NestingIsBounded) {
  const int limit = StandardCodecSerializer::kMaxNestingDepth;
  for (int levels : {limit, 100000}) {
    Bytes bytes;
    for (int i = 0; i < levels; ++i) bytes.insert(bytes.end(), {0x0C, 0x01});
    bytes.push_back(0x01);
    StderrCapture capture;
    // Within the limit the innermost true is there; beyond it the list at the limit is a null.
    EXPECT_EQ(Depth(Decode(bytes)), limit);
    EXPECT_EQ(capture.Get().size(), levels == limit ? 0u : 1u);
  }
}

// One type of its own, tag 0x80 carrying one byte; the standard serializer writes a null instead.
struct ExtendedSerializer : StandardCodecSerializer {
  void WriteValue(const V& value, ByteStreamWriter* writer) const override {
    const auto* custom = value.TryGet<CustomEncodableValue>();
    if (custom == nullptr) return StandardCodecSerializer::WriteValue(value, writer);
    writer->WriteByte(0x80);
    writer->WriteByte(std::any_cast<uint8_t>(static_cast<const std::any&>(*custom)));
  }
  V ReadValueOfType(uint8_t type, ByteStreamReader* reader) const override {
    if (type != 0x80) return StandardCodecSerializer::ReadValueOfType(type, reader);
    return V(CustomEncodableValue(reader->ReadByte()));
  }
};

TEST(StandardCodecTest, NestedCustomValuesGoThroughTheVirtualSlots) {
  static const ExtendedSerializer extended;  // its codec lives on
  const StandardMethodCodec& codec = StandardMethodCodec::Instance(&extended);
  EXPECT_EQ(&StandardMethodCodec::Instance(&extended), &codec);
  V value(EncodableMap{{V("k"), V(EncodableList{V(CustomEncodableValue(uint8_t{9})), V(true)})}});
  const Bytes bytes = *codec.EncodeSuccessEnvelope(&value);
  EXPECT_EQ(bytes, (Bytes{0x00, 0x0D, 0x01, 0x07, 0x01, 'k', 0x0C, 0x02, 0x80, 0x09, 0x01}));
  // Written again only if the custom value was read back as one.
  const V read = Decode(bytes, 1, nullptr, extended);
  EXPECT_EQ(*codec.EncodeSuccessEnvelope(&read), bytes);
  StderrCapture capture;
  EXPECT_EQ(Encode(value), (Bytes{0x0D, 0x01, 0x07, 0x01, 'k', 0x0C, 0x02, 0x00, 0x01}));
  EXPECT_EQ(capture.Get(), Lines{"Unhandled custom type in StandardCodecSerializer::WriteValue. "
                                 "Custom types require codec extensions."});
}

// Across alternatives the index decides, whatever the values; custom values go by identity.
TEST(EncodableValueTest, OrdersAcrossAlternativesByIndexFirst) {
  V custom(CustomEncodableValue(42));
  V custom_copy = custom;
  const std::vector<std::pair<V, V>> ascending = {
      {V(), V(false)},
      {V(int32_t{2147483647}), V(int64_t{-9000000000})},
      {V(CustomEncodableValue(0)), V(std::vector<float>{-1})},
      custom < custom_copy ? std::pair(custom, custom_copy) : std::pair(custom_copy, custom),
  };
  for (const auto& [smaller, larger] : ascending) {
    EXPECT_TRUE(smaller < larger);
    EXPECT_FALSE(larger < smaller);
  }
  EXPECT_EQ(custom, custom);
  EXPECT_FALSE(V() < V());
}

TEST(EncodableValueTest, NaNKeysOrderAfterNumbersWhateverTheirArrival) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Sorted by the order that next_permutation then steps through, so that it visits every one of
  // the 5!/2! orderings.
  const auto by_value = [](double a, double b) { return V(a) < V(b); };
  std::vector<double> keys = {nan, 2.0, -1.0, nan, 1.0};
  std::sort(keys.begin(), keys.end(), by_value);
  int orderings = 0;
  do {
    ++orderings;
    EncodableMap map;
    EncodableMap list_map;
    for (double key : keys) {
      map.emplace(V(key), V());
      list_map.emplace(V(std::vector<double>{0.5, key}), V());
    }
    std::vector<double> order;
    for (const auto& entry : map) order.push_back(entry.first.Get<double>());
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(std::vector<double>(order.begin(), order.begin() + 3),
              (std::vector<double>{-1.0, 1.0, 2.0}));
    EXPECT_TRUE(std::isnan(order[3]));
    EXPECT_EQ(list_map.size(), 4u);
  } while (std::next_permutation(keys.begin(), keys.end(), by_value));
  EXPECT_EQ(orderings, 60);
}

const StandardMethodCodec& Codec() { return StandardMethodCodec::Instance(); }

TEST(StandardMethodCodecTest, EncodesEnvelopes) {
  const V seven(7), one(1.0);
  // Padding counts from the envelope byte.
  EXPECT_EQ(*Codec().EncodeSuccessEnvelope(&one),
            (Bytes{0, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  // An empty message goes as a null, an empty code as a string.
  EXPECT_EQ(*Codec().EncodeErrorEnvelope("", "", &seven),
            (Bytes{0x01, 0x07, 0x00, 0x00, 0x03, 7, 0, 0, 0}));
}

// A name without arguments is still a call, with a null argument (and the invalid-read line).
TEST(StandardMethodCodecTest, DecodesACallWithoutArguments) {
  const Bytes bytes = {0x07, 0x01, 'a'};
  StderrCapture capture;
  std::unique_ptr<MethodCall> call = Codec().DecodeMethodCall(bytes.data(), bytes.size());
  EXPECT_EQ(capture.Get(), Lines{kInvalidRead});
  ASSERT_TRUE(call != nullptr && call->arguments() != nullptr);
  EXPECT_EQ(std::tie(call->method_name(), *call->arguments()), std::make_tuple("a", V()));
}

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
