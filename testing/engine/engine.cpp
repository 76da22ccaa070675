// Engine creation, plug-in registrars, fonts and the next-frame callback.

#include <memory>

#include "testing/engine/standin_state.h"
#include "tools/startup_profile.h"

using orvane::testing::EngineCreation;
using orvane::testing::LiveLocked;
using orvane::testing::LockedState;
using orvane::testing::StandinState;
using orvane::testing::State;

namespace {

EngineCreation CopyProperties(const FlutterDesktopEngineProperties& properties) {
  EngineCreation creation;
  if (properties.assets_path != nullptr) creation.assets_path = properties.assets_path;
  if (properties.icu_data_path != nullptr) creation.icu_data_path = properties.icu_data_path;
  if (properties.aot_library_path != nullptr) {
    creation.aot_library_path = properties.aot_library_path;
  }
  creation.entrypoint_present = properties.entrypoint != nullptr;
  if (creation.entrypoint_present) creation.entrypoint = properties.entrypoint;
  creation.entrypoint_argc = properties.entrypoint_argc;
  creation.entrypoint_argv_present = properties.entrypoint_argv != nullptr;
  if (creation.entrypoint_argv_present) {
    for (int i = 0; i < properties.entrypoint_argc; ++i) {
      const char* argument = properties.entrypoint_argv[i];
      creation.entrypoint_arguments.push_back(argument != nullptr ? argument : "");
    }
  }
  creation.engine_option_first = properties.engine_option_first;
  creation.engine_option_second = properties.engine_option_second;
  return creation;
}

}  // namespace

extern "C" {

FlutterDesktopEngineRef FlutterDesktopEngineCreate(
    const FlutterDesktopEngineProperties* engine_properties) {
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kEngineCreated);
  auto [state, lock] = LockedState();
  if (engine_properties != nullptr) {
    state.record.engines_created.push_back(CopyProperties(*engine_properties));
  }
  if (state.engine_creation_fails || engine_properties == nullptr) {
    return nullptr;
  }
  auto messenger = std::make_unique<FlutterDesktopMessenger>();
  auto engine = std::make_unique<FlutterDesktopEngine>();
  engine->messenger = messenger.get();
  FlutterDesktopEngineRef handle = engine.get();
  state.messengers[messenger.get()] = std::move(messenger);
  state.engines[handle] = std::move(engine);
  return handle;
}

bool FlutterDesktopEngineDestroy(FlutterDesktopEngineRef engine) {
  auto [state, lock] = LockedState();
  ++state.record.engine_destroy_calls;
  FlutterDesktopEngine* live = LiveLocked(state, state.engines, engine, __func__);
  if (live == nullptr) {
    return false;
  }
  if (live->handed_over) {
    // Its view controller destroys it: a second destruction would free it twice.
    orvane::testing::RecordViolationLocked(
        state, std::string(__func__) + ": engine owned by a view controller");
    return false;
  }
  orvane::testing::ReleaseEngineLocked(state, engine);
  return true;
}

FlutterDesktopMessengerRef FlutterDesktopEngineGetMessenger(FlutterDesktopEngineRef engine) {
  auto [state, lock] = LockedState();
  FlutterDesktopEngine* live = LiveLocked(state, state.engines, engine, __func__);
  return live == nullptr ? nullptr : live->messenger;
}

FlutterDesktopPluginRegistrarRef FlutterDesktopEngineGetPluginRegistrar(
    FlutterDesktopEngineRef engine, const char* plugin_name) {
  auto [state, lock] = LockedState();
  if (LiveLocked(state, state.engines, engine, __func__) == nullptr) {
    return nullptr;
  }
  std::string name = plugin_name != nullptr ? plugin_name : "";
  state.record.registrar_names.push_back(name);
  auto& registrar = state.registrars[name];
  if (!registrar) registrar = std::make_unique<FlutterDesktopPluginRegistrar>();
  return registrar.get();
}

void FlutterDesktopEngineReloadSystemFonts(FlutterDesktopEngineRef engine) {
  auto [state, lock] = LockedState();
  LiveLocked(state, state.engines, engine, __func__);
  ++state.record.font_reloads;
}

void FlutterDesktopEngineSetNextFrameCallback(FlutterDesktopEngineRef engine,
                                              FlutterDesktopOnNextFrameCallback callback,
                                              void* user_data) {
  orvane_standin::MarkStartupStep(orvane_standin::StartupStep::kViewAttached);
  auto [state, lock] = LockedState();
  ++state.record.next_frame_registrations;
  if (LiveLocked(state, state.engines, engine, __func__) == nullptr) {
    return;
  }
  state.next_frame = callback;
  state.next_frame_user_data = user_data;
}

}  // extern "C"

namespace orvane::testing {

bool FireNextFrame() {
  FlutterDesktopOnNextFrameCallback callback;
  void* user_data;
  {
    auto [state, lock] = LockedState();
    callback = state.next_frame;
    user_data = state.next_frame_user_data;
    state.next_frame = nullptr;
    state.next_frame_user_data = nullptr;
  }
  if (callback == nullptr) {
    return false;
  }
  callback(user_data);
  return true;
}

}  // namespace orvane::testing
