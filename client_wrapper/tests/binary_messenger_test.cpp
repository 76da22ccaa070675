#include "client_wrapper/binary_messenger_impl.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_wrapper/tests/standin_test.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers

class BinaryMessengerTest : public StandinTest {
 protected:
  // Delivers a message to a handler that keeps its reply closure in `reply_`.
  Delivery DeliverAndKeep() {
    messenger_->SetMessageHandler(
        "c", [this](const uint8_t*, size_t, ReplyCallback reply) { reply_ = std::move(reply); });
    return DeliverMessage("c", {});
  }

  BinaryMessenger* messenger_ = StartEngine();
  ReplyCallback reply_;
};

TEST_F(BinaryMessengerTest, AnswersOnceThroughTheResponseHandle) {
  Delivery delivery = DeliverAndKeep();
  // While the closure lives it holds a reference on the messenger.
  EXPECT_EQ(Record().messenger_add_refs, 1);
  ReplyCallback copy = reply_;
  StderrCapture capture;
  const uint8_t answer[] = {9, 8};
  reply_(answer, sizeof(answer));
  copy(nullptr, 0);
  reply_(nullptr, 0);
  EXPECT_EQ(capture.Get(),
            Lines(2, "Error: Response can be set only once. Ignoring duplicate response."));
  std::vector<Response> responses = ResponsesTo(delivery.message_id);
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].bytes, (Bytes{9, 8}));
  reply_ = copy = nullptr;
  EXPECT_EQ(Record().messenger_releases, 1);
}

// Whether the messenger became unavailable or the engine went, a late answer sends nothing and
// writes nothing; the messenger lives until the closure goes.
TEST_F(BinaryMessengerTest, LateAnswersAreDropped) {
  StderrCapture capture;
  DeliverAndKeep();
  SetMessengerAvailable(false);
  reply_(nullptr, 0);
  SetMessengerAvailable(true);
  DeliverAndKeep();
  engine_.reset();
  EXPECT_EQ(Record().messengers_freed, 0);
  reply_(nullptr, 0);
  reply_ = nullptr;
  EXPECT_EQ(Record().messengers_freed, 1);
  EXPECT_TRUE(Record().responses.empty());
  EXPECT_EQ(capture.Get(), Lines{});
}

TEST_F(BinaryMessengerTest, RemovalForgetsTheHandlerBeforeTellingTheLibrary) {
  // Destroyed with the handler: notes how many registrations the library had seen by then.
  struct Witness {
    size_t* seen;
    ~Witness() { *seen = Record().callback_registrations.size(); }
  };
  size_t seen = 0;
  auto witness = std::make_shared<Witness>(Witness{&seen});
  messenger_->SetMessageHandler("c", [witness](const uint8_t*, size_t, ReplyCallback) {});
  witness.reset();
  messenger_->SetMessageHandler("keep", [](const uint8_t*, size_t, ReplyCallback) {});
  messenger_->SetMessageHandler("c", nullptr);
  EXPECT_EQ(seen, 2u);
  EXPECT_EQ(Record().registered_channels, std::vector<std::string>{"keep"});
  std::vector<CallbackRegistration> registrations = Record().callback_registrations;
  ASSERT_EQ(registrations.size(), 3u);
  EXPECT_FALSE(registrations[2].callback_present);
  EXPECT_EQ(registrations[2].user_data, nullptr);
  EXPECT_FALSE(DeliverMessage("c", {}).delivered);
}

// A handler may remove or replace its own registration while it runs (a method that stops a
// service); what it captured stays valid until it returns.
TEST_F(BinaryMessengerTest, HandlerMayDropItsOwnRegistration) {
  const std::string name(40, 'h');  // beyond the short-string buffer, so ASan sees a freed copy
  for (const bool replace : {false, true}) {
    Lines seen;
    messenger_->SetMessageHandler(
        "c", [&, replace, name](const uint8_t*, size_t, ReplyCallback reply) {
          MessageHandler next;
          if (replace)
            next = [&seen](const uint8_t*, size_t, ReplyCallback) { seen.push_back("next"); };
          messenger_->SetMessageHandler("c", std::move(next));
          seen.push_back(name);
          reply(nullptr, 0);
        });
    EXPECT_EQ(DeliverMessage("c", {}).responses.size(), 1u);
    EXPECT_EQ(DeliverMessage("c", {}).delivered, replace);
    EXPECT_EQ(seen, replace ? (Lines{name, "next"}) : Lines{name});
  }
}

TEST_F(BinaryMessengerTest, SendsWithAndWithoutReply) {
  std::vector<Bytes> replies;
  const uint8_t message[] = {5};
  messenger_->Send("out", message, 1, nullptr);
  auto reply = [&](const uint8_t* data, size_t size) {
    replies.emplace_back(data, data + size);
    // A reply that throws must not unwind into the library.
    if (size == 1) throw std::length_error("reply");
  };
  messenger_->Send("out", message, 1, reply);
  messenger_->Send("out", message, 1, reply);
  // Refused, the reply is destroyed uncalled.
  SetSendWithReplyRefused(true);
  auto alive = std::make_shared<int>(0);
  messenger_->Send("out", nullptr, 0,
                   [alive, &replies](const uint8_t*, size_t) { replies.emplace_back(); });
  EXPECT_EQ(alive.use_count(), 1);

  std::vector<SentMessage> sent = Record().sent;
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_FALSE(sent[0].with_reply);
  EXPECT_TRUE(sent[1].with_reply);
  EXPECT_EQ(sent[1].bytes, Bytes{5});
  EXPECT_FALSE(sent[3].accepted);
  StderrCapture capture;
  EXPECT_TRUE(ReplyToSent(1, {4, 2}));
  EXPECT_TRUE(ReplyToSent(2, {3}));
  EXPECT_FALSE(ReplyToSent(1, {4, 2}));
  EXPECT_EQ(replies, (std::vector<Bytes>{{4, 2}, {3}}));
  EXPECT_EQ(capture.Get(), Lines{"Error: Uncaught exception in a reply callback: reply"});
}

}  // namespace
}  // namespace orvane
