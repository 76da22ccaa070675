#include "client_wrapper/flutter_engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_wrapper/tests/standin_test.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers
using FlutterEngineTest = StandinTest;

TEST_F(FlutterEngineTest, PassesTheProjectToTheLibrary) {
  { FlutterEngine engine(project_); }
  std::vector<std::string> arguments = {"--enable-impeller=true"};
  project_.set_entrypoint_arguments(arguments);
  { FlutterEngine engine(project_); }
  const std::vector<EngineCreation> created = Record().engines_created;
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[0].entrypoint_argc, 0);
  EXPECT_FALSE(created[0].entrypoint_argv_present);
  EXPECT_EQ(created[1].assets_path, u"data\\flutter_assets");
  EXPECT_EQ(created[1].icu_data_path, u"data\\icudtl.dat");
  EXPECT_EQ(created[1].aot_library_path, u"data\\app.so");
  EXPECT_TRUE(created[1].entrypoint_present);
  EXPECT_EQ(created[1].entrypoint, "");
  EXPECT_EQ(created[1].entrypoint_argc, 1);
  EXPECT_TRUE(created[1].entrypoint_argv_present);
  EXPECT_EQ(created[1].entrypoint_arguments, std::vector<std::string>{"--enable-impeller=true"});
  EXPECT_EQ(created[1].engine_option_first, 0);
  EXPECT_EQ(created[1].engine_option_second, 0);
  // Each engine still owned was destroyed once.
  EXPECT_EQ(Record().engine_destroy_calls, 2);
  EXPECT_EQ(Record().engines_released, 2);
}

TEST_F(FlutterEngineTest, HandsOverTheEngineAndStillFindsRegistrars) {
  FlutterDesktopEngineRef handle = nullptr;
  {
    FlutterEngine engine(project_);
    EXPECT_NE(engine.GetPluginRegistrar("AppLinksPluginCApi"), nullptr);
    handle = engine.HandOverEngine();
    EXPECT_NE(engine.GetPluginRegistrar("UrlLauncherWindows"), nullptr);
    engine.ReloadSystemFonts();
  }
  EXPECT_EQ(Record().engine_destroy_calls, 0);
  EXPECT_EQ(Record().registrar_names,
            (std::vector<std::string>{"AppLinksPluginCApi", "UrlLauncherWindows"}));
  EXPECT_EQ(Record().font_reloads, 1);
  ASSERT_NE(handle, nullptr);
  FlutterDesktopEngineDestroy(handle);  // what the new owner answers for
}

TEST_F(FlutterEngineTest, WithoutAnEngineRegistrarsFailWithTheirLine) {
  SetEngineCreationFails(true);
  FlutterEngine engine(project_);
  StderrCapture capture;
  EXPECT_EQ(engine.GetPluginRegistrar("DesktopMultiWindowPlugin"), nullptr);
  EXPECT_EQ(capture.Get(),
            Lines{"Cannot get plugin registrar on an engine that isn't running; call Run first."});
  EXPECT_TRUE(Record().registrar_names.empty());
  // The engine and its messenger exist and call nothing.
  engine.ReloadSystemFonts();
  engine.SetNextFrameCallback([] {});
  engine.messenger()->SetMessageHandler("c", [](const uint8_t*, size_t, ReplyCallback) {});
  engine.messenger()->SetMessageHandler("c", nullptr);
  engine.messenger()->Send("c", nullptr, 0, nullptr);
  EngineRecord record = Record();
  EXPECT_EQ(record.font_reloads + record.next_frame_registrations, 0);
  EXPECT_TRUE(record.callback_registrations.empty());
  EXPECT_TRUE(record.sent.empty());
}

TEST_F(FlutterEngineTest, NextFrameCallbackIsReplacedAndFiresOnce) {
  FlutterEngine engine(project_);
  auto first_alive = std::make_shared<int>(0);
  int runs = 0;
  engine.SetNextFrameCallback([&runs, first_alive] { runs += 100; });
  engine.SetNextFrameCallback([&] {
    ++runs;  // and registers the next one from inside
    engine.SetNextFrameCallback([&runs] {
      runs += 10;
      throw std::runtime_error("frame");  // must not unwind into the library
    });
  });
  // The replaced callback is destroyed at once, without running.
  EXPECT_EQ(first_alive.use_count(), 1);
  StderrCapture capture;
  EXPECT_TRUE(FireNextFrame());
  EXPECT_TRUE(FireNextFrame());
  EXPECT_FALSE(FireNextFrame());
  // None at all: the frame passes without a line.
  engine.SetNextFrameCallback(nullptr);
  EXPECT_TRUE(FireNextFrame());
  EXPECT_EQ(runs, 11);
  EXPECT_EQ(capture.Get(), Lines{"Error: Uncaught exception in the next-frame callback: frame"});
  EXPECT_EQ(Record().next_frame_registrations, 4);
}

}  // namespace
}  // namespace orvane
