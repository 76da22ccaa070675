#include "client_wrapper/binary_messenger_impl.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "client_wrapper/engine_method_result.h"
#include "client_wrapper/method_channel.h"
#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/standin_test.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers

class BinaryMessengerTest : public StandinTest {
 protected:
  // Delivers a message to a handler that keeps its reply closure in `reply_`.
  void DeliverAndKeep() {
    messenger_->SetMessageHandler(
        "c", [this](const uint8_t*, size_t, ReplyCallback reply) { reply_ = std::move(reply); });
    DeliverMessage("c", {});
  }

  BinaryMessenger* messenger_ = StartEngine();
  ReplyCallback reply_;
};

// A message is answered once however often its reply closure was copied. Once the engine has
// gone, a late answer sends nothing and writes nothing; the messenger lives until the closure goes.
TEST_F(BinaryMessengerTest, AnswersOnceAndNotAfterTheEngine) {
  DeliverAndKeep();
  ReplyCallback copy = reply_;
  StderrCapture capture;
  const uint8_t answer[] = {9, 8};
  reply_(answer, sizeof(answer));
  copy(nullptr, 0);
  DeliverAndKeep();
  engine_.reset();
  EXPECT_EQ(Record().messengers_freed, 0);
  reply_(nullptr, 0);
  reply_ = copy = nullptr;
  EXPECT_EQ(Record().messengers_freed, 1);
  EXPECT_EQ(capture.Get(),
            Lines{"Error: Response can be set only once. Ignoring duplicate response."});
  const std::vector<Response> responses = Record().responses;
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].bytes, (Bytes{9, 8}));
}

TEST_F(BinaryMessengerTest, RemovalForgetsTheHandlerBeforeTellingTheLibrary) {
  int seen = 0;
  // Goes with the handler: notes how many registrations the library had seen by then.
  std::shared_ptr<void> witness(nullptr,
                                [&seen](void*) { seen = Record().callback_registrations; });
  messenger_->SetMessageHandler("c", [witness](const uint8_t*, size_t, ReplyCallback) {});
  witness.reset();
  messenger_->SetMessageHandler("keep", [](const uint8_t*, size_t, ReplyCallback) {});
  messenger_->SetMessageHandler("c", nullptr);
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(Record().registered_channels, std::vector<std::string>{"keep"});
}

// A handler may replace (or remove) its own registration while it runs (a method that stops a
// service); what it captured stays valid until it returns.
TEST_F(BinaryMessengerTest, HandlerMayReplaceItsOwnRegistration) {
  const std::string name(40, 'h');  // beyond the short-string buffer, so ASan sees a freed copy
  Lines seen;
  messenger_->SetMessageHandler("c", [&, name](const uint8_t*, size_t, ReplyCallback reply) {
    messenger_->SetMessageHandler(
        "c", [&seen](const uint8_t*, size_t, ReplyCallback) { seen.push_back("next"); });
    seen.push_back(name);
    reply(nullptr, 0);
  });
  EXPECT_EQ(DeliverMessage("c", {}).responses.size(), 1u);
  DeliverMessage("c", {});
  EXPECT_EQ(seen, (Lines{name, "next"}));
}

TEST_F(BinaryMessengerTest, SendsWithAndWithoutReply) {
  const uint8_t message[] = {5};
  messenger_->Send("plain", message, 1, nullptr);
  std::vector<Bytes> replies;
  auto reply = [&](const uint8_t* data, size_t size) {
    replies.emplace_back(data, data + size);
    if (size == 1) throw std::length_error("reply");  // must not unwind into the library
  };
  messenger_->Send("answered", message, 1, reply);
  messenger_->Send("answered", message, 1, reply);
  // Refused, the reply is destroyed uncalled.
  SetSendWithReplyRefused(true);
  auto alive = std::make_shared<int>(0);
  messenger_->Send("refused", nullptr, 0, [alive](const uint8_t*, size_t) { ADD_FAILURE(); });
  EXPECT_EQ(alive.use_count(), 1);
  const std::vector<SentMessage> sent = Record().sent;
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(std::tie(sent[0].channel, sent[0].with_reply, sent[1].channel, sent[1].with_reply,
                     sent[1].bytes, sent[3].accepted),
            std::make_tuple("plain", false, "answered", true, Bytes{5}, false));
  StderrCapture capture;
  EXPECT_TRUE(ReplyToSent(1, {4, 2}));
  EXPECT_TRUE(ReplyToSent(2, {3}));
  EXPECT_EQ(replies, (std::vector<Bytes>{{4, 2}, {3}}));
  EXPECT_EQ(capture.Get(), Lines{"Error: Uncaught exception in a reply callback: reply"});
}

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
  std::unique_ptr<MethodChannel> channel_ =
      std::make_unique<MethodChannel>(StartEngine(), kChannel, &StandardMethodCodec::Instance());
};

TEST_F(MethodChannelTest, AnswersCountOnlyOnce) {
  struct Case {
    std::function<void(MethodResult&)> answer;
    Bytes bytes;  // none: no data
    Lines lines;
    Bytes message = kGetCurrent;
  };
  const std::vector<Case> cases = {
      {[](MethodResult& r) { r.Success(EncodableValue(true)); }, {0x00, 0x01}, {}},
      {[](MethodResult& r) { r.NotImplemented(); }, {}, {}},
      // The empty answer, and the next message is answered again.
      {[](MethodResult&) { throw std::out_of_range("key"); }, {}, {kUncaught + "key"}},
      // Answered before it threw: the fallback answer is dropped without a line of its own.
      {[](MethodResult& r) { r.Success(), throw 7; }, {0, 0}, {kUncaught + "unknown exception"}},
      {[](MethodResult& r) { r.Error("E", "m"), r.Success(EncodableValue(1)), r.Success(); },
       {0x01, 0x07, 0x01, 'E', 0x07, 0x01, 'm', 0x00},
       {kDuplicate, kDuplicate}},
      {[](MethodResult&) {}, {}, {kLeak}},
      // Not a call: the handler is not asked, and the message gets the empty answer.
      {[](MethodResult&) { ADD_FAILURE(); },
       {},
       {"Invalid method call; method name is not a string.",
        "Unable to construct method call from message on channel " + std::string(kChannel)},
       {0x03, 0x01, 0, 0, 0}},
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
    Delivery delivery = DeliverMessage(kChannel, c.message);
    EXPECT_EQ(call, c.message == kGetCurrent ? "getCurrent abc" : "") << i;
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

TEST_F(MethodChannelTest, KeptResultAnswersLaterFromAnotherThread) {
  std::unique_ptr<MethodResult> kept;
  channel_->SetMethodCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult> result) { kept = std::move(result); });
  Delivery delivery = DeliverMessage(kChannel, kGetCurrent);
  EXPECT_TRUE(delivery.responses.empty());
  // Answered and destroyed there.
  std::thread([&] { std::exchange(kept, nullptr)->Success(EncodableValue(int32_t{5})); }).join();
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
