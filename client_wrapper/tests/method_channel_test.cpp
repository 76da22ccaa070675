#include "client_wrapper/method_channel.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "client_wrapper/engine_method_result.h"
#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/standin_test.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers

const char kChannel[] = "com.orvane.now_playing";
const char kDuplicate[] =
    "Error: Only one of Success, Error, or NotImplemented can be called, and it can be called "
    "exactly once. Ignoring duplicate result.";
const char kLeak[] = "Warning: Failed to respond to a message. This is a memory leak.";
const std::string kUncaught =
    "Error: Uncaught exception in the handler of channel " + std::string(kChannel) + ": ";
// "getCurrent" with the argument map {"since": "abc"}.
const Bytes kGetCurrent = {0x07, 0x0A, 'g',  'e', 't', 'C', 'u', 'r', 'r',  'e',  'n', 't', 0x0D,
                           0x01, 0x07, 0x05, 's', 'i', 'n', 'c', 'e', 0x07, 0x03, 'a', 'b', 'c'};

class MethodChannelTest : public StandinTest {
 protected:
  void TearDown() override {
    channel_.reset();
    StandinTest::TearDown();
  }

  std::unique_ptr<MethodChannel> channel_ =
      std::make_unique<MethodChannel>(StartEngine(), kChannel, &StandardMethodCodec::Instance());
};

TEST_F(MethodChannelTest, AnswersCountOnlyOnce) {
  struct Case {
    std::function<void(MethodResult&)> answer;
    Bytes bytes;  // none: no data
    Lines lines;
  };
  const std::vector<Case> cases = {
      {[](MethodResult& r) { r.Success(EncodableValue(true)); }, {0x00, 0x01}, {}},
      {[](MethodResult& r) { r.NotImplemented(); }, {}, {}},
      // The empty answer, and the next message is answered again.
      {[](MethodResult&) { throw std::out_of_range("key"); }, {}, {kUncaught + "key"}},
      // Answered before it threw: the fallback answer is dropped without a line of its own.
      {[](MethodResult& r) { r.Success(), throw 7; }, {0, 0}, {kUncaught + "unknown exception"}},
      {[](MethodResult& r) { r.Success(), r.NotImplemented(); }, {0x00, 0x00}, {kDuplicate}},
      {[](MethodResult& r) { r.Error("E", ""), r.Success(EncodableValue(1)), r.Success(); },
       {0x01, 0x07, 0x01, 'E', 0x00, 0x00},
       {kDuplicate, kDuplicate}},
      {[](MethodResult&) {}, {}, {kLeak}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    // Each handler replaces the one before.
    std::string call;
    channel_->SetMethodCallHandler([&](const MethodCall& method, std::unique_ptr<MethodResult> r) {
      call = method.method_name() + " " +
             method.arguments()->Get<EncodableMap>().at(EncodableValue("since")).Get<std::string>();
      c.answer(*r);
    });
    StderrCapture capture;
    Delivery delivery = DeliverMessage(kChannel, kGetCurrent);
    EXPECT_EQ(call, "getCurrent abc") << i;
    EXPECT_EQ(capture.Get(), c.lines) << i;
    // Dropped unanswered, nothing is sent.
    ASSERT_EQ(delivery.responses.size(), c.lines == Lines{kLeak} ? 0u : 1u) << i;
    if (delivery.responses.empty()) continue;
    EXPECT_EQ(delivery.responses[0].data_present, !c.bytes.empty()) << i;
    EXPECT_EQ(delivery.responses[0].bytes, c.bytes) << i;
  }
  channel_->SetMethodCallHandler(nullptr);
  EXPECT_FALSE(DeliverMessage(kChannel, kGetCurrent).delivered);
}

TEST_F(MethodChannelTest, UndecodableMessageGetsTheEmptyAnswer) {
  bool called = false;
  channel_->SetMethodCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult>) { called = true; });
  StderrCapture capture;
  std::vector<Response> responses = DeliverMessage(kChannel, {0x03, 0x01, 0, 0, 0}).responses;
  EXPECT_FALSE(called);
  EXPECT_EQ(capture.Get(), (Lines{"Invalid method call; method name is not a string.",
                                  "Unable to construct method call from message on channel " +
                                      std::string(kChannel)}));
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_FALSE(responses[0].data_present);
  EXPECT_TRUE(responses[0].bytes.empty());
}

TEST_F(MethodChannelTest, KeptResultAnswersLaterFromAnotherThread) {
  std::unique_ptr<MethodResult> kept;
  channel_->SetMethodCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult> result) { kept = std::move(result); });
  Delivery delivery = DeliverMessage(kChannel, kGetCurrent);
  EXPECT_TRUE(delivery.responses.empty());
  std::thread([&] {
    kept->Success(EncodableValue(int32_t{5}));
    kept.reset();
  }).join();
  std::vector<Response> responses = ResponsesTo(delivery.message_id);
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].bytes, (Bytes{0x00, 0x03, 0x05, 0x00, 0x00, 0x00}));
}

// A codec may give an envelope without bytes: the reply then gets no data at all.
struct EmptyEnvelopeCodec : StandardMethodCodec {
  EmptyEnvelopeCodec() : StandardMethodCodec(&StandardCodecSerializer::Instance()) {}
  std::unique_ptr<Bytes> EncodeSuccessEnvelope(const EncodableValue*) const override {
    auto envelope = std::make_unique<Bytes>();
    envelope->reserve(1);  // storage, but no bytes
    return envelope;
  }
};

TEST(EngineMethodResultTest, EnvelopeWithoutBytesGoesAsNoData) {
  EmptyEnvelopeCodec codec;
  bool data_present = true;
  EngineMethodResult([&](const uint8_t* data, size_t) { data_present = data != nullptr; }, &codec)
      .Success();
  EXPECT_FALSE(data_present);
}

}  // namespace
}  // namespace orvane
