#include "runner/launch_options.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(PrepareLaunchArguments, FlagsCountOnlyAsWholeExactArgumentsAndTheUiReceivesAll) {
  const struct {
    std::vector<std::string> arguments;
    bool widget;
    bool hidden;
  } cases[] = {
      {{}, false, false},
      {{"a", "--widget", "b"}, true, false},
      {{"--hidden", "", "--hidden"}, false, true},
      {{"--WIDGET", "--Hidden", "--widget=value", "--hidden=1", "--widge", "--widget ",
        " --hidden"},
       false,
       false},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    const LaunchOptions options = PrepareLaunchArguments(arguments);
    std::vector<std::string> received = c.arguments;
    received.push_back("--enable-impeller=true");
    EXPECT_EQ(arguments, received);
    EXPECT_EQ(options.widget, c.widget) << received[0];
    EXPECT_EQ(options.hidden, c.hidden) << received[0];
    // Only the widget flag changes the window: its title and size.
    const WindowGeometry geometry = GeometryFor(options);
    EXPECT_EQ(geometry.title, c.widget ? u"Orvane Widget" : u"Orvane");
    EXPECT_EQ(geometry.size.width, c.widget ? 390 : 1280);
    EXPECT_EQ(geometry.size.height, c.widget ? 360 : 720);
  }
}

TEST(ScaleForDpi, TruncatesTowardZero) {
  const struct {
    int32_t logical;
    uint32_t dpi;
    int32_t scaled;
  } cases[] = {
      {390, 120, 487},
      {1, 143, 1},
      {-10, 120, -12},
      {5, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ScaleForDpi(c.logical, c.dpi), c.scaled) << c.logical << " at " << c.dpi;
}

}  // namespace
}  // namespace orvane
