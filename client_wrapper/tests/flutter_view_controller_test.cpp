#include "client_wrapper/flutter_view_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client_wrapper/tests/stderr_capture.h"
#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

using testing::Record;
using testing::StderrCapture;

class FlutterViewControllerTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetEngineStandin(); }
  void TearDown() override { testing::ResetEngineStandin(); }

  EngineProject project_{u"data"};
};

TEST_F(FlutterViewControllerTest, OwnsTheEngineThroughTheControllerHandle) {
  {
    FlutterViewController controller(1280, 720, project_);
    ASSERT_NE(controller.engine(), nullptr);
    ASSERT_NE(controller.view(), nullptr);
    EXPECT_EQ(Record().last_width, 1280);
    EXPECT_EQ(Record().last_height, 720);
  }
  testing::EngineRecord record = Record();
  EXPECT_EQ(record.view_controllers_created, 1);
  EXPECT_EQ(record.view_controllers_destroyed, 1);
  EXPECT_EQ(record.engine_destroy_calls, 0);
  EXPECT_EQ(record.engines_released, 1);
  EXPECT_EQ(record.messengers_freed, 1);
}

TEST_F(FlutterViewControllerTest, ForwardsRedrawsAndWindowMessages) {
  testing::SetWindowProcHandler(
      [](HWND, UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == 0x001D) return std::nullopt;
        return static_cast<LRESULT>(wparam) + 1;
      });
  FlutterViewController controller(390, 360, project_);
  controller.ForceRedraw();
  EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x0005, 41, 0), LRESULT{42});
  EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x001D, 0, 0), std::nullopt);
  EXPECT_EQ(Record().redraws, 1);
  EXPECT_EQ(Record().window_messages, (std::vector<UINT>{0x0005, 0x001D}));
}

TEST_F(FlutterViewControllerTest, CreationFailureLeavesNoViewAndOneLine) {
  for (bool engine_fails : {false, true}) {
    testing::ResetEngineStandin();
    testing::SetEngineCreationFails(engine_fails);
    testing::SetViewControllerCreationFails(true);
    StderrCapture capture;
    {
      FlutterViewController controller(1280, 720, project_);
      EXPECT_NE(controller.engine(), nullptr);
      EXPECT_EQ(controller.view(), nullptr);
      EXPECT_EQ(controller.HandleTopLevelWindowProc(nullptr, 0x0005, 0, 0), std::nullopt);
    }
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"Failed to create view controller."});
    EXPECT_EQ(Record().view_controllers_destroyed, 0);
    EXPECT_EQ(Record().engine_destroy_calls, 0);
  }
}

}  // namespace
}  // namespace orvane
