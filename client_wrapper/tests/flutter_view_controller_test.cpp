#include "client_wrapper/flutter_view_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client_wrapper/tests/standin_test.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the test helpers
using FlutterViewControllerTest = StandinTest;

TEST_F(FlutterViewControllerTest, OwnsTheEngineAndForwardsToTheView) {
  SetWindowProcHandler([](HWND, UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
    if (message == 0x001D) return std::nullopt;
    return static_cast<LRESULT>(wparam) + 1;
  });
  {
    FlutterViewController controller(1280, 720, project_);
    ASSERT_NE(controller.engine(), nullptr);
    ASSERT_NE(controller.view(), nullptr);
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
  EngineRecord record = Record();
  EXPECT_EQ(record.last_width, 1280);
  EXPECT_EQ(record.last_height, 720);
  EXPECT_EQ(record.redraws, 1);
  EXPECT_EQ(record.window_messages, (std::vector<UINT>{0x0005, 0x001D}));
  EXPECT_EQ(record.view_controllers_created, 1);
  EXPECT_EQ(record.view_controllers_destroyed, 1);
  // The engine goes with its view controller, never by its own destroy call.
  EXPECT_EQ(record.engine_destroy_calls, 0);
  EXPECT_EQ(record.engines_released, 1);
  EXPECT_EQ(record.messengers_freed, 1);
}

TEST_F(FlutterViewControllerTest, CreationFailureLeavesNoViewAndOneLine) {
  for (bool engine_fails : {false, true}) {
    ResetEngineStandin();
    SetEngineCreationFails(engine_fails);
    SetViewControllerCreationFails(true);
    StderrCapture capture;
    {
      FlutterViewController controller(1280, 720, project_);
      EXPECT_NE(controller.engine(), nullptr);
      EXPECT_EQ(controller.view(), nullptr);
      EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x0005, 0, 0), std::nullopt);
    }
    EXPECT_EQ(capture.Get(), Lines{"Failed to create view controller."});
    EXPECT_EQ(Record().view_controllers_destroyed, 0);
    EXPECT_EQ(Record().engine_destroy_calls, 0);
  }
}

}  // namespace
}  // namespace orvane
