#include "runner/native_plugins.h"

#include "runner/plugin_registrants.h"

namespace orvane {

void RegisterNativePlugins(PluginRegistry* registry) {
  AppLinksPluginCApiRegisterWithRegistrar(registry->GetPluginRegistrar("AppLinksPluginCApi"));
  DesktopMultiWindowPluginRegisterWithRegistrar(
      registry->GetPluginRegistrar("DesktopMultiWindowPlugin"));
  UrlLauncherWindowsRegisterWithRegistrar(registry->GetPluginRegistrar("UrlLauncherWindows"));
}

}  // namespace orvane
