// One stand-in plug-in library, built three times (see CMakeLists.txt): its registration function
// only records the plug-in's name and the registrar it was given.

#include <cstdio>
#include <string>

#include "runner/plugin_registrants.h"
#include "testing/engine/standin_record.h"

extern "C" void ORVANE_STANDIN_REGISTER(FlutterDesktopPluginRegistrarRef registrar) {
  char pointer[32];
  std::snprintf(pointer, sizeof pointer, "%p", static_cast<void*>(registrar));
  orvane_standin::AppendRecord(std::string("plugin-registered ") + ORVANE_STANDIN_PLUGIN + " " +
                               pointer);
}
