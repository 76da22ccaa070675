#include "runner/launch_options.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

struct LaunchCase {
  const char* name;
  std::vector<std::string> arguments;
  bool widget;
  bool hidden;
};

TEST(PrepareLaunchArguments, FlagsMatchOnlyWholeExactArguments) {
  const LaunchCase cases[] = {
      {"none", {}, false, false},
      {"hidden then widget", {"--hidden", "--widget"}, true, true},
      {"flag among others", {"a", "--widget", "b"}, true, false},
      {"repeated", {"--hidden", "--hidden"}, false, true},
      {"capitals", {"--WIDGET", "--Hidden"}, false, false},
      {"with value", {"--widget=value", "--hidden=1"}, false, false},
      {"prefix only", {"--widge", "-hidden"}, false, false},
      {"trailing space", {"--widget ", " --hidden"}, false, false},
      {"empty argument", {""}, false, false},
  };
  for (const LaunchCase& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    const LaunchOptions options = PrepareLaunchArguments(arguments);
    EXPECT_EQ(options.widget, c.widget) << c.name;
    EXPECT_EQ(options.hidden, c.hidden) << c.name;
  }
}

TEST(PrepareLaunchArguments, KeepsEveryArgumentInOrderAndAppendsTheEngineArgument) {
  std::vector<std::string> arguments{"--hidden", "", "--widget", "--WIDGET"};
  PrepareLaunchArguments(arguments);
  EXPECT_EQ(arguments, (std::vector<std::string>{"--hidden", "", "--widget", "--WIDGET",
                                                 "--enable-impeller=true"}));

  std::vector<std::string> none;
  PrepareLaunchArguments(none);
  EXPECT_EQ(none, (std::vector<std::string>{"--enable-impeller=true"}));
}

TEST(GeometryFor, ModesDifferInTitleAndSizeOnly) {
  const WindowGeometry full = GeometryFor({false, false});
  EXPECT_EQ(full.title, u"Orvane");
  EXPECT_EQ(full.origin.x, 10);
  EXPECT_EQ(full.origin.y, 10);
  EXPECT_EQ(full.size.width, 1280);
  EXPECT_EQ(full.size.height, 720);

  const WindowGeometry widget = GeometryFor({true, true});
  EXPECT_EQ(widget.title, u"Orvane Widget");
  EXPECT_EQ(widget.origin.x, 10);
  EXPECT_EQ(widget.origin.y, 10);
  EXPECT_EQ(widget.size.width, 390);
  EXPECT_EQ(widget.size.height, 360);

  // Hidden alone does not change the geometry.
  const WindowGeometry hidden = GeometryFor({false, true});
  EXPECT_EQ(hidden.title, full.title);
  EXPECT_EQ(hidden.size.width, full.size.width);
}

TEST(ScaleForDpi, TruncatesTowardZeroAtEachScale) {
  struct {
    int32_t logical;
    uint32_t dpi;
    int32_t scaled;
  } const cases[] = {
      {10, 96, 10},      {1280, 96, 1280}, {10, 120, 12}, {390, 120, 487}, {360, 120, 450},
      {1280, 120, 1600}, {720, 120, 900},  {10, 144, 15}, {390, 144, 585}, {360, 144, 540},
      {1, 143, 1},       {-10, 120, -12},  {0, 192, 0},   {390, 168, 682}, {5, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.logical, c.dpi), c.scaled) << c.logical << " at " << c.dpi;
  }
  const Size widget = ScaleForDpi(Size{390, 360}, 120);
  EXPECT_EQ(widget.width, 487);
  EXPECT_EQ(widget.height, 450);
  const Point origin = ScaleForDpi(Point{10, 10}, 120);
  EXPECT_EQ(origin.x, 12);
  EXPECT_EQ(origin.y, 12);
}

}  // namespace
}  // namespace orvane
