#pragma once

// Our declaration of the engine library's C interface (flutter_windows.dll): opaque handles,
// the records it reads and fills, and the functions the host imports. Written from the library's
// binary interface; the import library is made from flutter_windows.def.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#else
// The portable core is built and tested off Windows; these stand for the Win32 types of the same
// width so that the declarations below read the same in both builds.
typedef void* HWND;
typedef void* HMONITOR;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(ORVANE_ENGINE_LIBRARY_EXPORTS)
#define ORVANE_ENGINE_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(ORVANE_ENGINE_LIBRARY_STATIC)
#define ORVANE_ENGINE_API __declspec(dllimport)
#else
#define ORVANE_ENGINE_API
#endif

typedef struct FlutterDesktopEngine* FlutterDesktopEngineRef;
typedef struct FlutterDesktopViewController* FlutterDesktopViewControllerRef;
typedef struct FlutterDesktopView* FlutterDesktopViewRef;
typedef struct FlutterDesktopMessenger* FlutterDesktopMessengerRef;
typedef struct FlutterDesktopPluginRegistrar* FlutterDesktopPluginRegistrarRef;
typedef struct FlutterDesktopMessageResponseHandle FlutterDesktopMessageResponseHandle;

// What the engine is created from. Paths are zero-terminated UTF-16; the entry point and its
// arguments are zero-terminated UTF-8. 56 bytes on x64.
typedef struct {
  const char16_t* assets_path;
  const char16_t* icu_data_path;
  const char16_t* aot_library_path;
  const char* entrypoint;
  int entrypoint_argc;
  const char** entrypoint_argv;
  int32_t engine_option_first;
  int32_t engine_option_second;
} FlutterDesktopEngineProperties;

// One incoming channel message, as the library hands it to a message callback. 40 bytes on x64.
typedef struct {
  size_t struct_size;
  const char* channel;
  const uint8_t* message;
  size_t message_size;
  const FlutterDesktopMessageResponseHandle* response_handle;
} FlutterDesktopMessage;

typedef void (*FlutterDesktopBinaryReply)(const uint8_t* data, size_t data_size, void* user_data);
typedef void (*FlutterDesktopMessageCallback)(FlutterDesktopMessengerRef messenger,
                                              const FlutterDesktopMessage* message,
                                              void* user_data);
typedef void (*FlutterDesktopOnNextFrameCallback)(void* user_data);

ORVANE_ENGINE_API FlutterDesktopEngineRef
FlutterDesktopEngineCreate(const FlutterDesktopEngineProperties* engine_properties);
ORVANE_ENGINE_API bool FlutterDesktopEngineDestroy(FlutterDesktopEngineRef engine);
ORVANE_ENGINE_API FlutterDesktopMessengerRef
FlutterDesktopEngineGetMessenger(FlutterDesktopEngineRef engine);
ORVANE_ENGINE_API FlutterDesktopPluginRegistrarRef
FlutterDesktopEngineGetPluginRegistrar(FlutterDesktopEngineRef engine, const char* plugin_name);
ORVANE_ENGINE_API void FlutterDesktopEngineReloadSystemFonts(FlutterDesktopEngineRef engine);
ORVANE_ENGINE_API void FlutterDesktopEngineSetNextFrameCallback(
    FlutterDesktopEngineRef engine, FlutterDesktopOnNextFrameCallback callback, void* user_data);

ORVANE_ENGINE_API FlutterDesktopViewControllerRef
FlutterDesktopViewControllerCreate(int width, int height, FlutterDesktopEngineRef engine);
ORVANE_ENGINE_API void FlutterDesktopViewControllerDestroy(
    FlutterDesktopViewControllerRef controller);
ORVANE_ENGINE_API FlutterDesktopViewRef
FlutterDesktopViewControllerGetView(FlutterDesktopViewControllerRef controller);
ORVANE_ENGINE_API void FlutterDesktopViewControllerForceRedraw(
    FlutterDesktopViewControllerRef controller);
ORVANE_ENGINE_API bool FlutterDesktopViewControllerHandleTopLevelWindowProc(
    FlutterDesktopViewControllerRef controller, HWND hwnd, UINT message, WPARAM wparam,
    LPARAM lparam, LRESULT* result);

ORVANE_ENGINE_API HWND FlutterDesktopViewGetHWND(FlutterDesktopViewRef view);
ORVANE_ENGINE_API UINT FlutterDesktopGetDpiForMonitor(HMONITOR monitor);
ORVANE_ENGINE_API void FlutterDesktopResyncOutputStreams(void);

ORVANE_ENGINE_API bool FlutterDesktopMessengerSend(FlutterDesktopMessengerRef messenger,
                                                   const char* channel, const uint8_t* message,
                                                   size_t message_size);
ORVANE_ENGINE_API bool FlutterDesktopMessengerSendWithReply(
    FlutterDesktopMessengerRef messenger, const char* channel, const uint8_t* message,
    size_t message_size, FlutterDesktopBinaryReply reply, void* user_data);
ORVANE_ENGINE_API void FlutterDesktopMessengerSendResponse(
    FlutterDesktopMessengerRef messenger, const FlutterDesktopMessageResponseHandle* handle,
    const uint8_t* data, size_t data_length);
ORVANE_ENGINE_API void FlutterDesktopMessengerSetCallback(FlutterDesktopMessengerRef messenger,
                                                          const char* channel,
                                                          FlutterDesktopMessageCallback callback,
                                                          void* user_data);
ORVANE_ENGINE_API FlutterDesktopMessengerRef
FlutterDesktopMessengerAddRef(FlutterDesktopMessengerRef messenger);
ORVANE_ENGINE_API void FlutterDesktopMessengerRelease(FlutterDesktopMessengerRef messenger);
ORVANE_ENGINE_API bool FlutterDesktopMessengerIsAvailable(FlutterDesktopMessengerRef messenger);
ORVANE_ENGINE_API FlutterDesktopMessengerRef
FlutterDesktopMessengerLock(FlutterDesktopMessengerRef messenger);
ORVANE_ENGINE_API void FlutterDesktopMessengerUnlock(FlutterDesktopMessengerRef messenger);

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(FlutterDesktopEngineProperties) == 56 || sizeof(void*) != 8,
              "engine properties record must be 56 bytes on x64");
static_assert(sizeof(FlutterDesktopMessage) == 40 || sizeof(void*) != 8,
              "message record must be 40 bytes on x64");
#endif
