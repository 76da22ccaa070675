#pragma once

// Control and record of the stand-in engine library, for tests that run the host's code in
// process against it (linked statically natively, as flutter_windows.dll on Windows).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client_wrapper/flutter_windows.h"

#if defined(_WIN32) && defined(ORVANE_ENGINE_LIBRARY_EXPORTS)
#define ORVANE_STANDIN_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(ORVANE_ENGINE_LIBRARY_STATIC)
#define ORVANE_STANDIN_API __declspec(dllimport)
#else
#define ORVANE_STANDIN_API
#endif

namespace orvane::testing {

// What FlutterDesktopEngineCreate was given, copied deeply during the call.
struct EngineCreation {
  std::u16string assets_path;
  std::u16string icu_data_path;
  std::u16string aot_library_path;
  bool entrypoint_present = false;
  std::string entrypoint;
  int entrypoint_argc = 0;
  bool entrypoint_argv_present = false;
  std::vector<std::string> entrypoint_arguments;
  int32_t engine_option_first = 0;
  int32_t engine_option_second = 0;
};

// One FlutterDesktopMessengerSendResponse call.
struct Response {
  uint64_t message_id = 0;
  bool data_present = false;
  std::vector<uint8_t> bytes;
};

// One FlutterDesktopMessengerSend or ...SendWithReply call.
struct SentMessage {
  std::string channel;
  std::vector<uint8_t> bytes;
  bool with_reply = false;
  bool accepted = false;
};

struct EngineRecord {
  std::vector<EngineCreation> engines_created;
  int engine_destroy_calls = 0;
  // Engines released in any way (destroy call or with their view controller).
  int engines_released = 0;
  std::vector<std::string> registrar_names;
  int font_reloads = 0;
  int next_frame_registrations = 0;

  int messenger_add_refs = 0;
  int messenger_releases = 0;
  int messenger_locks = 0;
  int messenger_unlocks = 0;
  // Messengers whose last reference has gone.
  int messengers_freed = 0;
  // FlutterDesktopMessengerSetCallback calls.
  int callback_registrations = 0;
  // Channels with a callback now, in name order.
  std::vector<std::string> registered_channels;
  std::vector<SentMessage> sent;
  std::vector<Response> responses;

  int view_controllers_created = 0;
  int view_controllers_destroyed = 0;
  int last_width = 0;
  int last_height = 0;
  int redraws = 0;
  // The messages handed to FlutterDesktopViewControllerHandleTopLevelWindowProc, in order.
  std::vector<UINT> window_messages;
  int output_resyncs = 0;

  // Calls the real library would reject or crash on, one line each: a handle that is not (or no
  // longer) alive, a response without the messenger lock. Every test expects none.
  std::vector<std::string> violations;
};

struct Delivery {
  // False when no callback is registered for the channel.
  bool delivered = false;
  uint64_t message_id = 0;
  // The responses sent before DeliverMessage returned.
  std::vector<Response> responses;
};

// Forgets everything and frees every handle still alive; settings go back to their defaults.
ORVANE_STANDIN_API void ResetEngineStandin();
ORVANE_STANDIN_API EngineRecord Record();
// The violations, and every messenger reference or lock not given back; a test expects none.
ORVANE_STANDIN_API std::vector<std::string> Verdict();

ORVANE_STANDIN_API void SetEngineCreationFails(bool fails);
ORVANE_STANDIN_API void SetViewControllerCreationFails(bool fails);
ORVANE_STANDIN_API void SetSendWithReplyRefused(bool refused);
// Decides what FlutterDesktopViewControllerHandleTopLevelWindowProc consumes (default: nothing).
ORVANE_STANDIN_API void SetWindowProcHandler(
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler);

// Runs inside FlutterDesktopViewControllerDestroy once the controller and its engine count as
// destroyed, as the real library sends window messages while it takes its view down.
ORVANE_STANDIN_API void SetViewControllerDestroyHook(std::function<void()> hook);

// Hands a message to the channel's callback through the library's message record, on the
// calling thread, as the library does on its window thread.
ORVANE_STANDIN_API Delivery DeliverMessage(const std::string& channel,
                                           const std::vector<uint8_t>& message);
// The responses sent so far for a delivered message, in order.
ORVANE_STANDIN_API std::vector<Response> ResponsesTo(uint64_t message_id);
// Answers the message at this index of `sent` (sent with a reply); false if there is no reply
// left to call.
ORVANE_STANDIN_API bool ReplyToSent(size_t index, const std::vector<uint8_t>& reply);

// Runs the pending next-frame callback, if any (at most once per registration).
ORVANE_STANDIN_API bool FireNextFrame();

}  // namespace orvane::testing
