#pragma once

#include <string>
#include <vector>

#include "runner/window_geometry.h"

namespace orvane {

// Always handed to the UI's entry point after the command-line arguments.
inline constexpr char kEnableImpellerArgument[] = "--enable-impeller=true";

// What the command line asks of the shell. Only exact, case-sensitive matches of a whole argument
// count; the UI still receives every argument unchanged.
struct LaunchOptions {
  bool widget = false;  // "--widget": the small widget window
  bool hidden = false;  // "--hidden": the shell never shows the window
};

// Appends the engine's own argument to the command-line arguments and reads the launch options
// from the result. The list is then what the UI's entry point receives.
LaunchOptions PrepareLaunchArguments(std::vector<std::string>& arguments);

// Title, origin and size of the top-level window for the chosen mode, in logical units.
struct WindowGeometry {
  std::u16string title;
  Point origin;
  Size size;
};

WindowGeometry GeometryFor(const LaunchOptions& options);

}  // namespace orvane
