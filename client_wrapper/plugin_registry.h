#pragma once

#include <string>

#include "client_wrapper/flutter_windows.h"

namespace orvane {

// Where plug-ins get their registrar from.
class PluginRegistry {
 public:
  virtual ~PluginRegistry();

  // The engine library's registrar for the named plug-in, or none.
  virtual FlutterDesktopPluginRegistrarRef GetPluginRegistrar(const std::string& plugin_name) = 0;
};

}  // namespace orvane
