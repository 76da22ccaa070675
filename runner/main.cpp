#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

#include "runner/engine_project.h"
#include "runner/flutter_window.h"
#include "runner/launch_options.h"
#include "runner/utils.h"

namespace {

// Runs the host window until it is closed; 0 then, 1 when the window could not be opened.
// The locals go in reverse order: the window object, the (moved-from) arguments, the project.
int RunHost() {
  orvane::EngineProject project(u"data");
  std::vector<std::string> arguments = orvane::CommandLineArguments();
  const orvane::LaunchOptions options = orvane::PrepareLaunchArguments(arguments);
  // The window copies the project, so the arguments must be in it first.
  project.set_entrypoint_arguments(arguments);

  orvane::FlutterWindow window(project, options.hidden);
  const orvane::WindowGeometry geometry = orvane::GeometryFor(options);
  const std::wstring title(geometry.title.begin(), geometry.title.end());
  if (!window.OpenWindow(title, geometry.origin, geometry.size)) {
    return 1;
  }
  window.SetExitOnClose(true);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // The quit may not have come from closing the window (the engine or a plug-in asking the
  // application to exit): destroy it then as closing would, so that the engine and the services
  // are released before COM goes.
  if (HWND open = window.window_handle()) {
    ::DestroyWindow(open);
  }
  ::CoUninitialize();
  return 0;
}

}  // namespace

int APIENTRY wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, wchar_t* /*command_line*/,
                      int /*show_command*/) {
  // Started from a console: use it as it is. Under a debugger without one: open our own.
  if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::IsDebuggerPresent()) {
    orvane::OpenDebugConsole();
  }
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  return RunHost();
}
