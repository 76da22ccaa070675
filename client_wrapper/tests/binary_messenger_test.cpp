#include "client_wrapper/binary_messenger_impl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "client_wrapper/flutter_engine.h"
#include "client_wrapper/tests/stderr_capture.h"
#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

using testing::Record;
using testing::StderrCapture;
using Bytes = std::vector<uint8_t>;

class BinaryMessengerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetEngineStandin();
    engine_ = std::make_unique<FlutterEngine>(EngineProject(u"data"));
    messenger_ = engine_->messenger();
  }
  void TearDown() override {
    engine_.reset();
    testing::EngineRecord record = Record();
    // Every reference a reply closure took has been given back, and every lock released.
    EXPECT_EQ(record.messenger_add_refs, record.messenger_releases);
    EXPECT_EQ(record.messenger_locks, record.messenger_unlocks);
    testing::ResetEngineStandin();
  }

  // Registers a handler that keeps the reply closure of the last message in `reply_`.
  void KeepReplies(const std::string& channel) {
    messenger_->SetMessageHandler(channel,
                                  [this](const uint8_t* message, size_t size, ReplyCallback reply) {
                                    received_.assign(message, message + size);
                                    reply_ = std::move(reply);
                                  });
  }

  std::unique_ptr<FlutterEngine> engine_;
  BinaryMessenger* messenger_ = nullptr;
  Bytes received_;
  ReplyCallback reply_;
};

TEST_F(BinaryMessengerTest, DeliversAndAnswersThroughTheResponseHandle) {
  KeepReplies("c");
  testing::Delivery delivery = testing::DeliverMessage("c", {1, 2, 3});
  ASSERT_TRUE(delivery.delivered);
  EXPECT_EQ(received_, (Bytes{1, 2, 3}));

  // While the closure lives it holds a reference on the messenger.
  EXPECT_EQ(Record().messenger_add_refs, 1);
  EXPECT_EQ(Record().messenger_releases, 0);
  const uint8_t answer[] = {9, 8};
  reply_(answer, sizeof(answer));
  reply_ = nullptr;
  EXPECT_EQ(Record().messenger_releases, 1);

  std::vector<testing::Response> responses = testing::ResponsesTo(delivery.message_id);
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].bytes, (Bytes{9, 8}));
  EXPECT_EQ(Record().messenger_locks, 1);
}

TEST_F(BinaryMessengerTest, AnswersOnceEvenThroughCopiesOfTheClosure) {
  KeepReplies("c");
  testing::Delivery delivery = testing::DeliverMessage("c", {});
  ReplyCallback copy = reply_;
  StderrCapture capture;
  reply_(nullptr, 0);
  copy(nullptr, 0);
  reply_(nullptr, 0);
  EXPECT_EQ(testing::ResponsesTo(delivery.message_id).size(), 1u);
  EXPECT_EQ(capture.Lines(),
            std::vector<std::string>(
                2, "Error: Response can be set only once. Ignoring duplicate response."));
  reply_ = nullptr;
}

TEST_F(BinaryMessengerTest, DropsAnswersOnceTheEngineIsGone) {
  KeepReplies("c");
  testing::Delivery delivery = testing::DeliverMessage("c", {7});
  testing::SetMessengerAvailable(false);
  StderrCapture capture;
  reply_(nullptr, 0);
  reply_(nullptr, 0);
  EXPECT_TRUE(testing::ResponsesTo(delivery.message_id).empty());
  EXPECT_EQ(capture.Text(), "");
  reply_ = nullptr;
}

TEST_F(BinaryMessengerTest, ClosureOutlivingTheEngineKeepsTheMessengerUntilItGoes) {
  KeepReplies("c");
  testing::DeliverMessage("c", {7});
  engine_.reset();
  EXPECT_EQ(Record().messengers_freed, 0);
  StderrCapture capture;
  reply_(nullptr, 0);
  EXPECT_TRUE(Record().responses.empty());
  reply_ = nullptr;
  EXPECT_EQ(Record().messengers_freed, 1);
  EXPECT_EQ(capture.Text(), "");
}

TEST_F(BinaryMessengerTest, SecondHandlerReplacesTheFirst) {
  int first = 0;
  int second = 0;
  messenger_->SetMessageHandler("c", [&](const uint8_t*, size_t, ReplyCallback r) {
    ++first;
    r(nullptr, 0);
  });
  messenger_->SetMessageHandler("c", [&](const uint8_t*, size_t, ReplyCallback r) {
    ++second;
    r(nullptr, 0);
  });
  testing::DeliverMessage("c", {});
  testing::DeliverMessage("c", {});
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 2);
}

TEST_F(BinaryMessengerTest, RemovalForgetsTheHandlerBeforeTellingTheLibrary) {
  // Destroyed with the handler: notes how many registrations the library had seen by then.
  struct Witness {
    size_t* seen;
    ~Witness() { *seen = Record().callback_registrations.size(); }
  };
  size_t seen = 0;
  std::shared_ptr<Witness> witness(new Witness{&seen});
  messenger_->SetMessageHandler("c", [witness](const uint8_t*, size_t, ReplyCallback) {});
  witness.reset();
  messenger_->SetMessageHandler("keep", [](const uint8_t*, size_t, ReplyCallback) {});
  messenger_->SetMessageHandler("c", nullptr);
  EXPECT_EQ(Record().registered_channels, std::vector<std::string>{"keep"});

  std::vector<testing::CallbackRegistration> registrations = Record().callback_registrations;
  ASSERT_EQ(registrations.size(), 3u);
  EXPECT_TRUE(registrations[0].callback_present);
  EXPECT_FALSE(registrations[2].callback_present);
  EXPECT_EQ(registrations[2].user_data, nullptr);
  EXPECT_EQ(seen, 2u);
  EXPECT_FALSE(testing::DeliverMessage("c", {}).delivered);
}

TEST_F(BinaryMessengerTest, SendsWithAndWithoutReply) {
  std::vector<Bytes> replies;
  const uint8_t message[] = {5};
  messenger_->Send("out", message, 1, nullptr);
  messenger_->Send("out", message, 1, [&](const uint8_t* data, size_t size) {
    replies.emplace_back(data, data + size);
  });

  std::vector<testing::SentMessage> sent = Record().sent;
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_FALSE(sent[0].with_reply);
  EXPECT_TRUE(sent[1].with_reply);
  EXPECT_EQ(sent[1].bytes, Bytes{5});
  EXPECT_TRUE(testing::ReplyToSent(1, {4, 2}));
  EXPECT_FALSE(testing::ReplyToSent(1, {4, 2}));
  EXPECT_EQ(replies, std::vector<Bytes>{Bytes({4, 2})});
}

TEST_F(BinaryMessengerTest, RefusedSendDestroysTheReplyUncalled) {
  testing::SetSendWithReplyRefused(true);
  auto alive = std::make_shared<int>(0);
  bool called = false;
  messenger_->Send("out", nullptr, 0, [alive, &called](const uint8_t*, size_t) { called = true; });
  EXPECT_EQ(alive.use_count(), 1);
  EXPECT_FALSE(called);
  EXPECT_FALSE(Record().sent.at(0).accepted);
}

}  // namespace
}  // namespace orvane
