#include "client_wrapper/flutter_engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "client_wrapper/flutter_view_controller.h"
#include "client_wrapper/tests/standin_test.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers
using FlutterEngineTest = StandinTest;

TEST_F(FlutterEngineTest, PassesTheProjectAndHandsTheEngineOver) {
  { FlutterEngine engine(project_); }
  std::vector<std::string> arguments = {"--enable-impeller=true"};
  project_.set_entrypoint_arguments(arguments);
  FlutterDesktopEngineRef handle = nullptr;
  {
    FlutterEngine engine(project_);
    EXPECT_NE(engine.GetPluginRegistrar("AppLinksPluginCApi"), nullptr);
    handle = engine.HandOverEngine();
    EXPECT_NE(engine.GetPluginRegistrar("UrlLauncherWindows"), nullptr);
    engine.ReloadSystemFonts();
  }
  const EngineRecord record = Record();
  ASSERT_EQ(record.engines_created.size(), 2u);
  EXPECT_EQ(record.engines_created[0].entrypoint_argc, 0);
  EXPECT_FALSE(record.engines_created[0].entrypoint_argv_present);
  const EngineCreation& c = record.engines_created[1];
  EXPECT_TRUE(c.assets_path == u"data\\flutter_assets" && c.icu_data_path == u"data\\icudtl.dat" &&
              c.aot_library_path == u"data\\app.so");
  EXPECT_EQ(std::tie(c.entrypoint_present, c.entrypoint, c.entrypoint_argc,
                     c.entrypoint_argv_present, c.engine_option_first, c.engine_option_second),
            std::make_tuple(true, "", 1, true, 0, 0));
  EXPECT_EQ(c.entrypoint_arguments, std::vector<std::string>{"--enable-impeller=true"});
  // Only the engine still owned was destroyed.
  EXPECT_EQ(std::tie(record.engine_destroy_calls, record.font_reloads), std::make_tuple(1, 1));
  EXPECT_EQ(record.registrar_names,
            (std::vector<std::string>{"AppLinksPluginCApi", "UrlLauncherWindows"}));
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
  // The engine and its messenger exist and call nothing (the stand-in flags a call on no handle).
  engine.ReloadSystemFonts();
  engine.SetNextFrameCallback([] {});
  engine.messenger()->SetMessageHandler("c", [](const uint8_t*, size_t, ReplyCallback) {});
  engine.messenger()->SetMessageHandler("c", nullptr);
  engine.messenger()->Send("c", nullptr, 0, nullptr);
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
  EXPECT_EQ((std::vector<bool>{FireNextFrame(), FireNextFrame(), FireNextFrame()}),
            (std::vector<bool>{true, true, false}));
  // None at all: the frame passes without a line.
  engine.SetNextFrameCallback(nullptr);
  EXPECT_TRUE(FireNextFrame());
  EXPECT_EQ(runs, 11);
  EXPECT_EQ(capture.Get(), Lines{"Error: Uncaught exception in the next-frame callback: frame"});
  EXPECT_EQ(Record().next_frame_registrations, 4);
}

using FlutterViewControllerTest = StandinTest;

TEST_F(FlutterViewControllerTest, OwnsTheEngineAndForwardsToTheView) {
  SetWindowProcHandler([](HWND, UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
    if (message == 0x001D) return std::nullopt;
    return static_cast<LRESULT>(wparam) + 1;
  });
  {
    FlutterViewController controller(1280, 720, project_);
    ASSERT_TRUE(controller.engine() != nullptr && controller.view() != nullptr);
    controller.ForceRedraw();
    EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x0005, 41, 0), LRESULT{42});
    EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x001D, 0, 0), std::nullopt);
    // Messages the library sends while it destroys the view, forwarded back by the window, must
    // not reach it with the handle being destroyed.
    SetViewControllerDestroyHook([&controller] {
      EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x0007, 0, 0), std::nullopt);
      controller.ForceRedraw();
    });
  }
  EngineRecord r = Record();
  // The engine goes with its view controller, never by its own destroy call.
  EXPECT_EQ(std::tie(r.last_width, r.last_height, r.redraws, r.window_messages,
                     r.view_controllers_created, r.view_controllers_destroyed,
                     r.engine_destroy_calls, r.engines_released),
            std::make_tuple(1280, 720, 1, std::vector<UINT>{0x0005, 0x001D}, 1, 1, 0, 1));
}

TEST_F(FlutterViewControllerTest, CreationFailureLeavesNoViewAndOneLine) {
  for (bool engine_fails : {false, true}) {
    ResetEngineStandin();
    SetEngineCreationFails(engine_fails);
    SetViewControllerCreationFails(true);
    StderrCapture capture;
    {
      FlutterViewController controller(1280, 720, project_);
      EXPECT_TRUE(controller.engine() != nullptr && controller.view() == nullptr);
      EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x0005, 0, 0), std::nullopt);
    }
    EXPECT_EQ(capture.Get(), Lines{"Failed to create view controller."});
    EXPECT_EQ(std::make_tuple(Record().view_controllers_destroyed, Record().engine_destroy_calls),
              std::make_tuple(0, 0));
  }
}

}  // namespace
}  // namespace orvane
