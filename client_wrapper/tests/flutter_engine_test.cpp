#include "client_wrapper/flutter_engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "client_wrapper/tests/stderr_capture.h"
#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

using testing::Record;
using testing::StderrCapture;

class FlutterEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetEngineStandin(); }
  void TearDown() override { testing::ResetEngineStandin(); }

  EngineProject project_{u"data"};
};

TEST_F(FlutterEngineTest, PassesTheProjectToTheLibrary) {
  struct Case {
    std::vector<std::string> arguments;
    bool argv_present;
  };
  for (const Case& c : {Case{{}, false}, Case{{"--enable-impeller=true"}, true},
                        Case{{"--widget", "--enable-impeller=true"}, true}}) {
    testing::ResetEngineStandin();
    EngineProject project(u"data");
    std::vector<std::string> arguments = c.arguments;
    project.set_entrypoint_arguments(arguments);
    { FlutterEngine engine(project); }

    testing::EngineRecord record = Record();
    ASSERT_EQ(record.engines_created.size(), 1u);
    const testing::EngineCreation& created = record.engines_created[0];
    EXPECT_EQ(created.assets_path, u"data\\flutter_assets");
    EXPECT_EQ(created.icu_data_path, u"data\\icudtl.dat");
    EXPECT_EQ(created.aot_library_path, u"data\\app.so");
    EXPECT_TRUE(created.entrypoint_present);
    EXPECT_EQ(created.entrypoint, "");
    EXPECT_EQ(created.entrypoint_argc, static_cast<int>(c.arguments.size()));
    EXPECT_EQ(created.entrypoint_argv_present, c.argv_present);
    EXPECT_EQ(created.entrypoint_arguments, c.arguments);
    EXPECT_EQ(created.engine_option_first, 0);
    EXPECT_EQ(created.engine_option_second, 0);
  }
}

TEST_F(FlutterEngineTest, DestroysAnEngineItStillOwnsOnce) {
  { FlutterEngine engine(project_); }
  testing::EngineRecord record = Record();
  EXPECT_EQ(record.engine_destroy_calls, 1);
  EXPECT_EQ(record.engines_released, 1);
}

TEST_F(FlutterEngineTest, NeverDestroysAnEngineHandedOver) {
  auto engine = std::make_unique<FlutterEngine>(project_);
  FlutterDesktopEngineRef handle = engine->HandOverEngine();
  ASSERT_NE(handle, nullptr);
  engine.reset();
  EXPECT_EQ(Record().engine_destroy_calls, 0);
  // The new owner's destroy call is what the caller answers for.
  FlutterDesktopEngineDestroy(handle);
}

TEST_F(FlutterEngineTest, AsksForRegistrarsByNameAlsoAfterHandOver) {
  FlutterEngine engine(project_);
  FlutterDesktopPluginRegistrarRef first = engine.GetPluginRegistrar("AppLinksPluginCApi");
  FlutterDesktopEngineRef handle = engine.HandOverEngine();
  FlutterDesktopPluginRegistrarRef second = engine.GetPluginRegistrar("UrlLauncherWindows");
  EXPECT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(Record().registrar_names,
            (std::vector<std::string>{"AppLinksPluginCApi", "UrlLauncherWindows"}));
  FlutterDesktopEngineDestroy(handle);
}

TEST_F(FlutterEngineTest, WithoutAnEngineRegistrarsFailWithTheirLine) {
  testing::SetEngineCreationFails(true);
  FlutterEngine engine(project_);
  StderrCapture capture;
  EXPECT_EQ(engine.GetPluginRegistrar("DesktopMultiWindowPlugin"), nullptr);
  EXPECT_EQ(capture.Lines(),
            (std::vector<std::string>{"Cannot get plugin registrar on an engine that isn't "
                                      "running; call Run first."}));
  EXPECT_TRUE(Record().registrar_names.empty());
  // The messenger exists and calls nothing.
  engine.messenger()->SetMessageHandler("c", [](const uint8_t*, size_t, ReplyCallback) {});
  EXPECT_TRUE(Record().callback_registrations.empty());
}

TEST_F(FlutterEngineTest, ReloadsSystemFonts) {
  FlutterEngine engine(project_);
  engine.ReloadSystemFonts();
  EXPECT_EQ(Record().font_reloads, 1);
}

TEST_F(FlutterEngineTest, NextFrameCallbackIsReplacedAndFiresOnce) {
  FlutterEngine engine(project_);
  auto first_alive = std::make_shared<int>(0);
  int first_runs = 0;
  int second_runs = 0;
  engine.SetNextFrameCallback([&first_runs, first_alive] { ++first_runs; });
  engine.SetNextFrameCallback([&second_runs] { ++second_runs; });
  // The replaced callback is destroyed at once, without running.
  EXPECT_EQ(first_alive.use_count(), 1);

  EXPECT_TRUE(testing::FireNextFrame());
  EXPECT_FALSE(testing::FireNextFrame());
  EXPECT_EQ(first_runs, 0);
  EXPECT_EQ(second_runs, 1);
  EXPECT_EQ(Record().next_frame_registrations, 2);
}

TEST_F(FlutterEngineTest, NextFrameCallbackMayRegisterTheNextOne) {
  FlutterEngine engine(project_);
  int runs = 0;
  engine.SetNextFrameCallback([&] {
    ++runs;
    engine.SetNextFrameCallback([&runs] { runs += 10; });
  });
  EXPECT_TRUE(testing::FireNextFrame());
  EXPECT_TRUE(testing::FireNextFrame());
  EXPECT_EQ(runs, 11);
}

}  // namespace
}  // namespace orvane
