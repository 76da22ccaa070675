#pragma once

// The registration functions of the plug-in libraries, each exported by name from its own DLL
// (app_links_plugin.dll, desktop_multi_window_plugin.dll, url_launcher_windows_plugin.dll).

#include "client_wrapper/flutter_windows.h"

#if defined(_WIN32) && !defined(ORVANE_PLUGIN_EXPORTS)
#define ORVANE_PLUGIN_API __declspec(dllimport)
#elif defined(_WIN32)
#define ORVANE_PLUGIN_API __declspec(dllexport)
#else
#define ORVANE_PLUGIN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

ORVANE_PLUGIN_API void AppLinksPluginCApiRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar);
ORVANE_PLUGIN_API void DesktopMultiWindowPluginRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar);
ORVANE_PLUGIN_API void UrlLauncherWindowsRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar);

#ifdef __cplusplus
}  // extern "C"
#endif
