#include "client_wrapper/standard_codec_serializer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/tests/codec_test_support.h"
#include "client_wrapper/tests/stderr_capture.h"

namespace orvane {
namespace {

using testing::Bytes;
using testing::Decode;
using testing::Encode;
using testing::StderrCapture;

const char kInvalidRead[] = "Invalid read in StandardCodecByteStreamReader";

Bytes Concat(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

Bytes SizeField(size_t size) {
  Bytes bytes;
  ByteBufferStreamWriter writer(&bytes);
  WriteSize(size, &writer);
  return bytes;
}

TEST(StandardCodecTest, SizeFieldForms) {
  struct Case {
    size_t size;
    Bytes bytes;
  };
  for (const Case& c :
       {Case{5, {0x05}}, Case{253, {0xFD}}, Case{254, {0xFE, 0xFE, 0x00}},
        Case{300, {0xFE, 0x2C, 0x01}}, Case{65535, {0xFE, 0xFF, 0xFF}},
        Case{65536, {0xFF, 0x00, 0x00, 0x01, 0x00}}, Case{70000, {0xFF, 0x70, 0x11, 0x01, 0x00}}}) {
    EXPECT_EQ(SizeField(c.size), c.bytes) << c.size;
    ByteBufferStreamReader reader(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(ReadSize(&reader), c.size);
  }
  // Longer forms are accepted for small numbers too.
  const Bytes long_form = {0xFE, 0x05, 0x00};
  ByteBufferStreamReader reader(long_form.data(), long_form.size());
  EXPECT_EQ(ReadSize(&reader), 5u);
}

TEST(StandardCodecTest, WritesTheWireForm) {
  struct Case {
    const char* what;
    EncodableValue value;
    Bytes prefix;
    Bytes bytes;
  };
  EncodableMap title_then_album;
  title_then_album[EncodableValue("title")] = EncodableValue(true);
  title_then_album[EncodableValue("album")] = EncodableValue(false);
  const std::vector<Case> cases = {
      {"null", EncodableValue(), {}, {0x00}},
      {"true", EncodableValue(true), {}, {0x01}},
      {"false", EncodableValue(false), {}, {0x02}},
      {"int32", EncodableValue(int32_t{-2}), {}, {0x03, 0xFE, 0xFF, 0xFF, 0xFF}},
      {"int64", EncodableValue(int64_t{1} << 40), {}, {0x04, 0, 0, 0, 0, 0, 1, 0, 0}},
      {"double at 0",
       EncodableValue(1.0),
       {},
       {0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"double after an envelope byte",
       EncodableValue(1.0),
       {0x00},
       {0x00, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"empty string", EncodableValue(""), {}, {0x07, 0x00}},
      {"string", EncodableValue("ab"), {}, {0x07, 0x02, 'a', 'b'}},
      {"empty byte list", EncodableValue(std::vector<uint8_t>{}), {}, {0x08, 0x00}},
      {"byte list, unpadded", EncodableValue(std::vector<uint8_t>{7, 8}), {}, {0x08, 0x02, 7, 8}},
      {"empty int32 list", EncodableValue(std::vector<int32_t>{}), {}, {0x09, 0x00, 0, 0}},
      {"int32 list", EncodableValue(std::vector<int32_t>{1}), {}, {0x09, 0x01, 0, 0, 1, 0, 0, 0}},
      {"empty int64 list",
       EncodableValue(std::vector<int64_t>{}),
       {},
       {0x0A, 0x00, 0, 0, 0, 0, 0, 0}},
      {"double list after a byte",
       EncodableValue(std::vector<double>{1.0}),
       {0x01},
       {0x01, 0x0B, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"float list",
       EncodableValue(std::vector<float>{1.0f}),
       {},
       {0x0E, 0x01, 0, 0, 0, 0, 0x80, 0x3F}},
      {"list",
       EncodableValue(EncodableList{EncodableValue(1), EncodableValue("x")}),
       {},
       {0x0C, 0x02, 0x03, 1, 0, 0, 0, 0x07, 0x01, 'x'}},
      {"empty map", EncodableValue(EncodableMap{}), {}, {0x0D, 0x00}},
      {"map",
       EncodableValue(EncodableMap{{EncodableValue("a"), EncodableValue(1)}}),
       {},
       {0x0D, 0x01, 0x07, 0x01, 'a', 0x03, 0x01, 0x00, 0x00, 0x00}},
      {"map in key order",
       EncodableValue(title_then_album),
       {},
       {0x0D, 0x02, 0x07, 0x05, 'a', 'l', 'b', 'u', 'm', 0x02, 0x07, 0x05, 't', 'i', 't', 'l', 'e',
        0x01}},
  };
  for (const Case& c : cases) {
    StderrCapture capture;
    Bytes bytes = Encode(c.value, c.prefix);
    EXPECT_EQ(bytes, c.bytes) << c.what;
    // Read back from the same offset, the value and the location come out the same.
    ByteBufferStreamReader reader(bytes.data(), bytes.size());
    for (size_t i = 0; i < c.prefix.size(); ++i) reader.ReadByte();
    EXPECT_EQ(StandardCodecSerializer::Instance().ReadValue(&reader), c.value) << c.what;
    EXPECT_EQ(reader.RemainingBytes(), 0u) << c.what;
    EXPECT_EQ(capture.Text(), "") << c.what;
  }
}

TEST(StandardCodecTest, LongPayloadsUseTheLongerSizeForms) {
  for (size_t size : {253u, 254u, 65535u, 65536u}) {
    EncodableValue value(std::string(size, 'q'));
    Bytes bytes = Encode(value);
    Bytes head(bytes.begin() + 1, bytes.end() - static_cast<ptrdiff_t>(size));
    EXPECT_EQ(head, SizeField(size));
    EXPECT_EQ(Decode(bytes), value);
  }
}

TEST(StandardCodecTest, CustomValueWritesANullAndItsLine) {
  StderrCapture capture;
  EncodableList list{EncodableValue(CustomEncodableValue(1)), EncodableValue(true)};
  EXPECT_EQ(Encode(EncodableValue(list)), (Bytes{0x0C, 0x02, 0x00, 0x01}));
  EXPECT_EQ(capture.Lines(), std::vector<std::string>{
                                 "Unhandled custom type in StandardCodecSerializer::WriteValue. "
                                 "Custom types require codec extensions."});
}

TEST(StandardCodecTest, ReadsWhatOnlyOthersWrite) {
  struct Case {
    const char* what;
    Bytes bytes;
    EncodableValue value;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"old string tag", {0x05, 0x02, '1', '2'}, EncodableValue("12"), {}},
      {"first key wins",
       {0x0D, 0x02, 0x07, 0x01, 'a', 0x03, 1, 0, 0, 0, 0x07, 0x01, 'a', 0x03, 2, 0, 0, 0},
       EncodableValue(EncodableMap{{EncodableValue("a"), EncodableValue(1)}}),
       {}},
      {"trailing bytes ignored", {0x01, 0x02, 0x03}, EncodableValue(true), {}},
      {"empty buffer", {}, EncodableValue(), {kInvalidRead}},
      {"unknown tag",
       {0x0F, 0x01},
       EncodableValue(),
       {"Unknown type in StandardCodecSerializer::ReadValueOfType: 15"}},
      {"short string",
       {0x07, 0x0A, 'a', 'b'},
       EncodableValue(std::string(10, '\0')),
       {kInvalidRead}},
      {"short integer", {0x03, 0x01, 0x02}, EncodableValue(int32_t{0}), {kInvalidRead}},
      {"short size form", {0x07, 0xFE, 0x01}, EncodableValue(""), {kInvalidRead}},
      {"short int32 list",
       {0x09, 0x03, 0, 0, 1, 0, 0, 0},
       EncodableValue(std::vector<int32_t>{0, 0, 0}),
       {kInvalidRead}},
      {"double past the end", {0x06}, EncodableValue(0.0), {kInvalidRead}},
  };
  for (const Case& c : cases) {
    StderrCapture capture;
    EXPECT_EQ(Decode(c.bytes), c.value) << c.what;
    EXPECT_EQ(capture.Lines(), c.lines) << c.what;
  }
}

TEST(StandardCodecTest, EmptyTypedListSkipsItsPadding) {
  const Bytes bytes = {0x09, 0x00, 0x00, 0x00, 0x01};
  size_t location = 0;
  EXPECT_EQ(Decode(bytes, &location), EncodableValue(std::vector<int32_t>{}));
  EXPECT_EQ(location, 4u);
}

// Sizes far beyond the message must cost neither memory nor time, and the outcome is fixed:
// a payload that cannot be there reads as empty, a list or map ends with the message.
TEST(StandardCodecTest, HostileSizesAreBoundedByTheMessage) {
  const Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  struct Case {
    const char* what;
    Bytes bytes;
    EncodableValue value;
    size_t lines;
  };
  const std::vector<Case> cases = {
      {"string", Concat({0x07}, huge), EncodableValue(""), 1},
      {"byte list", Concat(Concat({0x08}, huge), {1, 2, 3}), EncodableValue(std::vector<uint8_t>{}),
       1},
      {"int64 list", Concat({0x0A}, huge), EncodableValue(std::vector<int64_t>{}), 1},
      {"just over the fill limit",
       {0x08, 0xFE, 0x01, 0x04},
       EncodableValue(std::vector<uint8_t>{}),
       1},
      {"at the fill limit",
       {0x08, 0xFE, 0x00, 0x04},
       EncodableValue(std::vector<uint8_t>(1024)),
       1},
      {"list", Concat(Concat({0x0C}, huge), {0x01, 0x02}),
       EncodableValue(EncodableList{EncodableValue(true), EncodableValue(false), EncodableValue()}),
       1},
      {"map", Concat(Concat({0x0D}, huge), {0x07, 0x01, 'a', 0x01}),
       EncodableValue(EncodableMap{{EncodableValue("a"), EncodableValue(true)},
                                   {EncodableValue(), EncodableValue()}}),
       2},
  };
  for (const Case& c : cases) {
    StderrCapture capture;
    EXPECT_EQ(Decode(c.bytes), c.value) << c.what;
    EXPECT_EQ(capture.Lines(), std::vector<std::string>(c.lines, kInvalidRead)) << c.what;
  }
}

// Read, written and read again, a message must give the same bytes: what the host reads it can
// pass on unchanged.
TEST(StandardCodecTest, WhatWasReadIsWrittenTheSameTwice) {
  const std::vector<Bytes> messages = {
      // Map keys holding NaN (in double lists) once lost entries depending on their order.
      {0x0C, 0x02, 0x0D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5F, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D,
       0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x61, 0x2E,
       0x07, 0x61, 0x6D, 0x74, 0x69, 0x0B, 0x01, 0x00, 0x60, 0x20, 0x00, 0x0E, 0x68, 0x55,
       0x0B, 0x74, 0x55, 0x0B, 0x0B, 0x74, 0x55, 0x0B, 0x74, 0x69, 0x73, 0x74, 0x5D, 0x61,
       0xAD, 0x00, 0xAD, 0xAD, 0x2E, 0x07, 0x61, 0x6D, 0x74, 0x69, 0x0B, 0x01, 0x00, 0x68,
       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x05, 0x73},
      {0x0D, 0x03, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0xF8, 0x7F,
       0x01, 0x06, 0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0xF0, 0x3F,
       0x02, 0x0B, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0xFF, 0x00},
  };
  for (const Bytes& message : messages) {
    StderrCapture capture;
    Bytes once = Encode(Decode(message));
    EXPECT_EQ(Encode(Decode(once)), once);
  }
}

int Depth(const EncodableValue& value) {
  const EncodableList* list = value.TryGet<EncodableList>();
  return list == nullptr || list->empty() ? 0 : 1 + Depth(list->front());
}

TEST(StandardCodecTest, NestingIsBounded) {
  const int limit = StandardCodecSerializer::kMaxNestingDepth;
  for (int levels : {limit, 100000}) {
    Bytes bytes;
    for (int i = 0; i < levels; ++i) {
      bytes.push_back(0x0C);
      bytes.push_back(0x01);
    }
    bytes.push_back(0x01);
    StderrCapture capture;
    EncodableValue value = Decode(bytes);
    // Within the limit the innermost true is there; beyond it the list at the limit is a null.
    EXPECT_EQ(Depth(value), limit);
    EXPECT_EQ(capture.Lines().size(), levels == limit ? 0u : 1u);
  }
}

// A serializer with one type of its own, tag 0x80 carrying one byte.
class ExtendedSerializer : public StandardCodecSerializer {
 public:
  void WriteValue(const EncodableValue& value, ByteStreamWriter* writer) const override {
    if (const auto* custom = value.TryGet<CustomEncodableValue>()) {
      writer->WriteByte(0x80);
      writer->WriteByte(std::any_cast<uint8_t>(static_cast<const std::any&>(*custom)));
      return;
    }
    StandardCodecSerializer::WriteValue(value, writer);
  }
  EncodableValue ReadValueOfType(uint8_t type, ByteStreamReader* reader) const override {
    if (type == 0x80) return EncodableValue(CustomEncodableValue(reader->ReadByte()));
    return StandardCodecSerializer::ReadValueOfType(type, reader);
  }
};

TEST(StandardCodecTest, NestedValuesGoThroughTheVirtualSlots) {
  ExtendedSerializer serializer;
  EncodableValue value(EncodableMap{
      {EncodableValue("k"),
       EncodableValue(EncodableList{EncodableValue(CustomEncodableValue(uint8_t{9}))})}});
  Bytes bytes;
  ByteBufferStreamWriter writer(&bytes);
  serializer.WriteValue(value, &writer);
  EXPECT_EQ(bytes, (Bytes{0x0D, 0x01, 0x07, 0x01, 'k', 0x0C, 0x01, 0x80, 0x09}));

  ByteBufferStreamReader reader(bytes.data(), bytes.size());
  EncodableValue read = serializer.ReadValue(&reader);
  const EncodableValue& element =
      read.Get<EncodableMap>().at(EncodableValue("k")).Get<EncodableList>().at(0);
  EXPECT_EQ(
      std::any_cast<uint8_t>(static_cast<const std::any&>(element.Get<CustomEncodableValue>())), 9);
}

TEST(StandardCodecTest, WriterPadsThroughWriteByte) {
  class CountingWriter : public ByteBufferStreamWriter {
   public:
    using ByteBufferStreamWriter::ByteBufferStreamWriter;
    void WriteByte(uint8_t byte) override {
      ++bytes_written;
      ByteBufferStreamWriter::WriteByte(byte);
    }
    int bytes_written = 0;
  };
  Bytes bytes = {0xAA};
  CountingWriter writer(&bytes);
  writer.WriteAlignment(8);
  EXPECT_EQ(writer.bytes_written, 7);
  EXPECT_EQ(bytes, (Bytes{0xAA, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace orvane
