#pragma once

#include "client_wrapper/plugin_registry.h"

namespace orvane {

// Registers the plug-in libraries with the engine, always in the same order.
void RegisterNativePlugins(PluginRegistry* registry);

}  // namespace orvane
