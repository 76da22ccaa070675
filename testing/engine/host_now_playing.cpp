// The stand-in UI's now-playing calls (host_now_playing.h). Calls go through the library's own
// message delivery on the view's thread, encoded and decoded with the host's standard method
// codec: the codec's bytes are pinned by its own tests, and a second hand-written codec here
// would only be one more thing to keep in step.

#include "testing/engine/host_now_playing.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "client_wrapper/method_call.h"
#include "client_wrapper/standard_method_codec.h"
#include "demo/ui_program.h"
#include "testing/engine/engine_standin.h"
#include "testing/engine/fingerprint.h"
#include "testing/engine/standin_record.h"
#include "testing/recording_result.h"

namespace orvane_standin {
namespace {

using orvane::EncodableMap;
using orvane::EncodableValue;

constexpr char kChannel[] = "com.orvane.now_playing";
constexpr UINT_PTR kPollTimer = 0x4E50;
constexpr UINT kPollMilliseconds = 1000;

// Touched on the view's thread only.
bool started = false;
// None until the first answer: the first "getCurrent" goes without arguments.
std::optional<std::string> since;

std::string Describe(const EncodableValue& value) {
  if (value.IsNull()) return "null";
  if (const auto* flag = value.TryGet<bool>()) return *flag ? "true" : "false";
  if (const auto* text = value.TryGet<std::string>()) return *text;
  if (const auto* bytes = value.TryGet<std::vector<uint8_t>>()) return Fingerprint(*bytes);
  if (const auto* map = value.TryGet<EncodableMap>()) {
    std::string out = "{";
    for (const auto& entry : *map) {
      out += (out.size() > 1 ? " " : "") + Describe(entry.first) + "=" + Describe(entry.second);
    }
    return out + "}";
  }
  return "(other)";
}

// Delivers one call to the host's handler: its answer as recorded, and in `value` what a success
// carried.
std::string Call(const std::string& method, std::unique_ptr<EncodableValue> arguments,
                 EncodableValue* value) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  const auto message = codec.EncodeMethodCall(orvane::MethodCall(method, std::move(arguments)));
  const orvane::testing::Delivery delivery = orvane::testing::DeliverMessage(kChannel, *message);
  if (!delivery.delivered) return "no-handler";
  if (delivery.responses.size() != 1) return "no-answer";
  const std::vector<uint8_t>& bytes = delivery.responses.front().bytes;
  orvane::testing::RecordingResult result;
  if (bytes.empty()) {
    result.NotImplemented();
  } else if (!codec.DecodeResponseEnvelope(bytes.data(), bytes.size(), &result)) {
    return "undecodable";
  }
  if (result.outcome != "success") return result.outcome;
  *value = result.value.value_or(EncodableValue());
  return Describe(*value);
}

// Null keeps what is shown; the empty marker and a reading replace it, and their signature is the
// next "since".
void CALLBACK Poll(HWND view, UINT, UINT_PTR, DWORD) {
  std::unique_ptr<EncodableValue> arguments;
  if (since) {
    arguments = std::make_unique<EncodableValue>(
        EncodableMap{{EncodableValue("since"), EncodableValue(*since)}});
  }
  EncodableValue value;
  const std::string answer = Call("getCurrent", std::move(arguments), &value);
  AppendRecord("now-playing getCurrent since=" + since.value_or("-") + " " + answer);
  if (const auto* map = value.TryGet<EncodableMap>()) {
    auto signature = map->find(EncodableValue("signature"));
    const auto* text = signature == map->end() ? nullptr : signature->second.TryGet<std::string>();
    since = text != nullptr ? *text : std::string();
    orvane_demo::ShowReading(view, *map);
  }
}

}  // namespace

void StartNowPlaying(HWND view) {
  if (started || EnvironmentText(L"ORVANE_STANDIN_NOW_PLAYING") == L"0") return;
  started = true;
  EncodableValue value;
  AppendRecord("now-playing start " + Call("start", nullptr, &value));
  Poll(view, 0, 0, 0);
  ::SetTimer(view, kPollTimer, kPollMilliseconds, Poll);
}

}  // namespace orvane_standin
