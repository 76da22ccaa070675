#include "runner/window_geometry.h"

namespace orvane {

int32_t ScaleForDpi(int32_t logical, uint32_t dpi) {
  const double scale = dpi / 96.0;
  return static_cast<int32_t>(static_cast<double>(logical) * scale);
}

Point ScaleForDpi(const Point& logical, uint32_t dpi) {
  return {ScaleForDpi(logical.x, dpi), ScaleForDpi(logical.y, dpi)};
}

Size ScaleForDpi(const Size& logical, uint32_t dpi) {
  return {ScaleForDpi(logical.width, dpi), ScaleForDpi(logical.height, dpi)};
}

}  // namespace orvane
