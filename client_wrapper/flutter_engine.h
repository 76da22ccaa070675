#pragma once

#include <functional>
#include <memory>
#include <string>

#include "client_wrapper/binary_messenger.h"
#include "client_wrapper/binary_messenger_impl.h"
#include "client_wrapper/flutter_windows.h"
#include "client_wrapper/plugin_registry.h"
#include "runner/engine_project.h"

namespace orvane {

// Owns an engine of the engine library until it is handed over to a view controller, and the
// messenger over it.
class FlutterEngine : public PluginRegistry {
 public:
  // When the library cannot create the engine, the handle stays none: the messenger then calls
  // nothing and a view controller built over this engine fails.
  explicit FlutterEngine(const EngineProject& project);
  ~FlutterEngine() override;

  FlutterEngine(const FlutterEngine&) = delete;
  FlutterEngine& operator=(const FlutterEngine&) = delete;

  BinaryMessenger* messenger();

  FlutterDesktopPluginRegistrarRef GetPluginRegistrar(const std::string& plugin_name) override;

  void ReloadSystemFonts();

  // Runs the callback once, after the next frame. A callback still pending is replaced and
  // destroyed without running.
  void SetNextFrameCallback(std::function<void()> callback);

  // From now on the caller's view controller owns the engine; this wrapper keeps using the handle
  // but never destroys it.
  FlutterDesktopEngineRef HandOverEngine();

 private:
  static void DispatchNextFrame(void* user_data);

  FlutterDesktopEngineRef engine_handle_ = nullptr;
  std::unique_ptr<BinaryMessengerImpl> messenger_;
  bool owns_engine_ = true;
  std::function<void()> next_frame_callback_;
};

}  // namespace orvane
