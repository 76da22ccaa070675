#include "client_wrapper/method_channel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client_wrapper/flutter_engine.h"
#include "client_wrapper/standard_method_codec.h"
#include "client_wrapper/tests/stderr_capture.h"
#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

using testing::Record;
using testing::StderrCapture;
using Bytes = std::vector<uint8_t>;

const char kDuplicateResult[] =
    "Error: Only one of Success, Error, or NotImplemented can be called, and it can be called "
    "exactly once. Ignoring duplicate result.";
const char kLeak[] = "Warning: Failed to respond to a message. This is a memory leak.";

// "getCurrent" with the argument map {"since": "abc"}.
const Bytes kGetCurrent = {0x07, 0x0A, 'g',  'e', 't', 'C', 'u', 'r', 'r',  'e',  'n', 't', 0x0D,
                           0x01, 0x07, 0x05, 's', 'i', 'n', 'c', 'e', 0x07, 0x03, 'a', 'b', 'c'};

class MethodChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetEngineStandin();
    engine_ = std::make_unique<FlutterEngine>(EngineProject(u"data"));
    channel_ = std::make_unique<MethodChannel>(engine_->messenger(), "com.orvane.now_playing",
                                               &StandardMethodCodec::Instance());
  }
  void TearDown() override {
    channel_.reset();
    engine_.reset();
    testing::EngineRecord record = Record();
    EXPECT_EQ(record.messenger_add_refs, record.messenger_releases);
    EXPECT_EQ(record.messenger_locks, record.messenger_unlocks);
    testing::ResetEngineStandin();
  }

  // Delivers a message and returns the responses it got (while the handler ran).
  std::vector<testing::Response> Call(const Bytes& message) {
    testing::Delivery delivery = testing::DeliverMessage("com.orvane.now_playing", message);
    EXPECT_TRUE(delivery.delivered);
    return delivery.responses;
  }

  std::unique_ptr<FlutterEngine> engine_;
  std::unique_ptr<MethodChannel> channel_;
};

TEST_F(MethodChannelTest, DecodesTheCallAndSendsTheSuccessEnvelope) {
  std::string since;
  channel_->SetMethodCallHandler([&](const MethodCall& call, std::unique_ptr<MethodResult> result) {
    EXPECT_EQ(call.method_name(), "getCurrent");
    const auto& arguments = call.arguments()->Get<EncodableMap>();
    since = arguments.at(EncodableValue("since")).Get<std::string>();
    result->Success(EncodableValue(true));
  });
  std::vector<testing::Response> responses = Call(kGetCurrent);
  EXPECT_EQ(since, "abc");
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].bytes, (Bytes{0x00, 0x01}));
}

TEST_F(MethodChannelTest, AnswersCountOnlyOnce) {
  struct Case {
    const char* name;
    std::function<void(MethodResult&)> answer;
    bool data_present;
    Bytes bytes;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"not implemented", [](MethodResult& r) { r.NotImplemented(); }, false, {}, {}},
      {"success, then not implemented",
       [](MethodResult& r) {
         r.Success();
         r.NotImplemented();
       },
       true,
       {0x00, 0x00},
       {kDuplicateResult}},
      {"error, then success twice",
       [](MethodResult& r) {
         r.Error("E", "");
         r.Success(EncodableValue(1));
         r.Success();
       },
       true,
       {0x01, 0x07, 0x01, 'E', 0x00, 0x00},
       {kDuplicateResult, kDuplicateResult}},
      {"dropped unanswered", [](MethodResult&) {}, false, {}, {kLeak}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    channel_->SetMethodCallHandler(
        [&c](const MethodCall&, std::unique_ptr<MethodResult> result) { c.answer(*result); });
    StderrCapture capture;
    std::vector<testing::Response> responses = Call(kGetCurrent);
    EXPECT_EQ(capture.Lines(), c.lines);
    if (c.lines == std::vector<std::string>{kLeak}) {
      EXPECT_TRUE(responses.empty());
      continue;
    }
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].data_present, c.data_present);
    EXPECT_EQ(responses[0].bytes, c.bytes);
  }
}

TEST_F(MethodChannelTest, UndecodableMessageGetsTheEmptyAnswer) {
  bool called = false;
  channel_->SetMethodCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult>) { called = true; });
  StderrCapture capture;
  std::vector<testing::Response> responses = Call({0x03, 0x01, 0x00, 0x00, 0x00});
  EXPECT_FALSE(called);
  EXPECT_EQ(capture.Lines(),
            (std::vector<std::string>{
                "Invalid method call; method name is not a string.",
                "Unable to construct method call from message on channel com.orvane.now_playing"}));
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_FALSE(responses[0].data_present);
  EXPECT_TRUE(responses[0].bytes.empty());
}

TEST_F(MethodChannelTest, KeptResultAnswersLaterFromAnotherThread) {
  std::unique_ptr<MethodResult> kept;
  channel_->SetMethodCallHandler(
      [&](const MethodCall&, std::unique_ptr<MethodResult> result) { kept = std::move(result); });
  testing::Delivery delivery = testing::DeliverMessage("com.orvane.now_playing", kGetCurrent);
  EXPECT_TRUE(testing::ResponsesTo(delivery.message_id).empty());
  EXPECT_GT(Record().messenger_add_refs, Record().messenger_releases);

  std::thread answering([&] {
    kept->Success(EncodableValue(int32_t{5}));
    kept.reset();
  });
  answering.join();
  std::vector<testing::Response> responses = testing::ResponsesTo(delivery.message_id);
  ASSERT_EQ(responses.size(), 1u);
  EXPECT_EQ(responses[0].bytes, (Bytes{0x00, 0x03, 0x05, 0x00, 0x00, 0x00}));
}

TEST_F(MethodChannelTest, EmptyHandlerUnregistersTheChannel) {
  channel_->SetMethodCallHandler(
      [](const MethodCall&, std::unique_ptr<MethodResult> result) { result->Success(); });
  channel_->SetMethodCallHandler(nullptr);
  EXPECT_FALSE(testing::DeliverMessage("com.orvane.now_playing", kGetCurrent).delivered);
}

}  // namespace
}  // namespace orvane
