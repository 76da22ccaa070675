#include "client_wrapper/flutter_engine.h"

#include <utility>
#include <vector>

#include "client_wrapper/error_line.h"

namespace orvane {

PluginRegistry::~PluginRegistry() = default;

FlutterEngine::FlutterEngine(const EngineProject& project) {
  // The library copies what it needs during the call, so the record may point into the project.
  std::vector<const char*> arguments;
  arguments.reserve(project.entrypoint_arguments().size());
  for (const std::string& argument : project.entrypoint_arguments()) {
    arguments.push_back(argument.c_str());
  }
  FlutterDesktopEngineProperties properties = {};
  properties.assets_path = project.assets_path().c_str();
  properties.icu_data_path = project.icu_data_path().c_str();
  properties.aot_library_path = project.aot_library_path().c_str();
  properties.entrypoint = project.entrypoint().c_str();
  properties.entrypoint_argc = static_cast<int>(arguments.size());
  properties.entrypoint_argv = arguments.empty() ? nullptr : arguments.data();
  properties.engine_option_first = project.engine_options()[0];
  properties.engine_option_second = project.engine_options()[1];

  engine_handle_ = FlutterDesktopEngineCreate(&properties);
  FlutterDesktopMessengerRef messenger_handle =
      engine_handle_ != nullptr ? FlutterDesktopEngineGetMessenger(engine_handle_) : nullptr;
  messenger_ = std::make_unique<BinaryMessengerImpl>(messenger_handle);
}

FlutterEngine::~FlutterEngine() {
  if (engine_handle_ != nullptr && owns_engine_) {
    FlutterDesktopEngineDestroy(engine_handle_);
  }
  engine_handle_ = nullptr;
  next_frame_callback_ = nullptr;
  messenger_.reset();
}

BinaryMessenger* FlutterEngine::messenger() { return messenger_.get(); }

FlutterDesktopPluginRegistrarRef FlutterEngine::GetPluginRegistrar(const std::string& plugin_name) {
  if (engine_handle_ == nullptr) {
    WriteErrorLine("Cannot get plugin registrar on an engine that isn't running; call Run first.");
    return nullptr;
  }
  return FlutterDesktopEngineGetPluginRegistrar(engine_handle_, plugin_name.c_str());
}

void FlutterEngine::ReloadSystemFonts() {
  if (engine_handle_ != nullptr) {
    FlutterDesktopEngineReloadSystemFonts(engine_handle_);
  }
}

void FlutterEngine::SetNextFrameCallback(std::function<void()> callback) {
  next_frame_callback_ = std::move(callback);
  if (engine_handle_ != nullptr) {
    FlutterDesktopEngineSetNextFrameCallback(engine_handle_, DispatchNextFrame, this);
  }
}

FlutterDesktopEngineRef FlutterEngine::HandOverEngine() {
  owns_engine_ = false;
  return engine_handle_;
}

void FlutterEngine::DispatchNextFrame(void* user_data) {
  auto* engine = static_cast<FlutterEngine*>(user_data);
  // Taken out before it runs, so that a callback which registers the next one keeps it.
  std::function<void()> callback = std::move(engine->next_frame_callback_);
  engine->next_frame_callback_ = nullptr;
  if (callback) {
    try {
      callback();
    } catch (...) {
      // Nothing may unwind into the library.
      WriteCaughtExceptionLine("the next-frame callback");
    }
  }
}

}  // namespace orvane
