#pragma once

#include <cstdint>

namespace orvane {

// A position or size in whole pixels. Window geometry is chosen in logical units of a 96 DPI
// screen and scaled to the monitor's DPI just before the window is created.
struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
};

// Scales one logical value to a monitor of the given DPI. The result is truncated toward zero,
// never rounded up, so that a window never comes out larger than its design at that scale.
int32_t ScaleForDpi(int32_t logical, uint32_t dpi);
Point ScaleForDpi(const Point& logical, uint32_t dpi);
Size ScaleForDpi(const Size& logical, uint32_t dpi);

}  // namespace orvane
