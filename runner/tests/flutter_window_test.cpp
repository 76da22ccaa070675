#include "runner/flutter_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "testing/engine/engine_standin.h"

namespace orvane {
namespace {

using namespace testing;  // NOLINT: the stand-in's control

// Deleting the window object while its window is still open, as when the message loop ends on a
// quit that did not come from closing it. The library sends window messages while it takes its
// view down (here also a font change); none may reach a controller or engine being destroyed.
TEST(FlutterWindow, DeletingAnOpenWindowReleasesTheEngineOnceAndSafely) {
  ResetEngineStandin();
  auto window = std::make_unique<FlutterWindow>(EngineProject(u"data"), true);
  ASSERT_TRUE(window->OpenWindow(L"t", {10, 10}, {300, 200}));
  const HWND top = window->window_handle();
  SetViewControllerDestroyHook([top] { ::SendMessageW(top, WM_FONTCHANGE, 0, 0); });
  window.reset();
  EXPECT_FALSE(::IsWindow(top));
  const EngineRecord record = Record();
  EXPECT_EQ(record.violations, std::vector<std::string>{});
  EXPECT_EQ(record.view_controllers_destroyed, 1);
  ResetEngineStandin();
}

}  // namespace
}  // namespace orvane
