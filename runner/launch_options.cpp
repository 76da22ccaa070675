#include "runner/launch_options.h"

#include <algorithm>

namespace orvane {

namespace {

bool Contains(const std::vector<std::string>& arguments, const char* flag) {
  return std::find(arguments.begin(), arguments.end(), flag) != arguments.end();
}

}  // namespace

LaunchOptions PrepareLaunchArguments(std::vector<std::string>& arguments) {
  arguments.emplace_back(kEnableImpellerArgument);
  LaunchOptions options;
  options.widget = Contains(arguments, "--widget");
  options.hidden = Contains(arguments, "--hidden");
  return options;
}

WindowGeometry GeometryFor(const LaunchOptions& options) {
  // Both modes share origin, styles and behaviour; only the title and the size differ.
  if (options.widget) {
    return {u"Orvane Widget", {10, 10}, {390, 360}};
  }
  return {u"Orvane", {10, 10}, {1280, 720}};
}

}  // namespace orvane
