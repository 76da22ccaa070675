// The stand-in UI's now-playing panel (host_now_playing.h). Calls go through the library's own
// message delivery on the view's thread, encoded and decoded with the host's standard method
// codec: the codec's bytes are pinned by its own tests, and a second hand-written codec here
// would only be one more thing to keep in step.

#include "testing/engine/host_now_playing.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "client_wrapper/method_call.h"
#include "client_wrapper/method_result.h"
#include "client_wrapper/standard_method_codec.h"
#include "testing/engine/engine_standin.h"
#include "testing/engine/fingerprint.h"
#include "testing/engine/standin_record.h"

namespace orvane_standin {
namespace {

using Microsoft::WRL::ComPtr;
using orvane::EncodableMap;
using orvane::EncodableValue;

constexpr char kChannel[] = "com.orvane.now_playing";
constexpr UINT_PTR kPollTimer = 0x4E50;
constexpr UINT kPollMilliseconds = 1000;
constexpr int kCoverSide = 160;

// 32 bits per pixel, blue-green-red-alpha, top row first.
struct Cover {
  UINT width = 0;
  UINT height = 0;
  std::vector<BYTE> pixels;
};

// What the panel shows; touched on the view's thread only.
struct Panel {
  bool started = false;
  // None until the first answer: the first "getCurrent" goes without arguments.
  std::optional<std::string> since;
  std::string status = "starting";
  EncodableMap reading;
  Cover cover;
};

Panel& ThePanel() {
  static Panel* panel = new Panel();
  return *panel;
}

// The one answer that a call got, as the channel's caller sees it.
struct Answer {
  std::string text = "no-answer";
  EncodableValue value;
};

class Capture : public orvane::MethodResult {
 public:
  explicit Capture(Answer* answer) : answer_(answer) {}
  void Success(const EncodableValue* result) override {
    answer_->text = "success";
    answer_->value = result != nullptr ? *result : EncodableValue();
  }
  void Error(const std::string&, const std::string&, const EncodableValue*) override {
    answer_->text = "error";
  }
  void NotImplemented() override { answer_->text = "not-implemented"; }

 private:
  Answer* answer_;
};

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

// Delivers one call to the host's handler and decodes its answer.
Answer Call(const std::string& method, std::unique_ptr<EncodableValue> arguments) {
  const orvane::StandardMethodCodec& codec = orvane::StandardMethodCodec::Instance();
  const auto message = codec.EncodeMethodCall(orvane::MethodCall(method, std::move(arguments)));
  const orvane::testing::Delivery delivery = orvane::testing::DeliverMessage(kChannel, *message);
  Answer answer;
  if (!delivery.delivered) {
    answer.text = "no-handler";
  } else if (delivery.responses.size() == 1) {
    const std::vector<uint8_t>& bytes = delivery.responses.front().bytes;
    Capture capture(&answer);
    if (bytes.empty()) {
      capture.NotImplemented();
    } else if (!codec.DecodeResponseEnvelope(bytes.data(), bytes.size(), &capture)) {
      answer.text = "undecodable";
    }
  }
  return answer;
}

std::string StringAt(const EncodableMap& map, const char* key) {
  auto found = map.find(EncodableValue(key));
  const auto* text = found == map.end() ? nullptr : found->second.TryGet<std::string>();
  return text != nullptr ? *text : std::string();
}

// The image in `bytes` through the platform's imaging component; none when it does not decode.
Cover DecodeCover(const std::vector<uint8_t>& bytes) {
  Cover cover;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0;
  UINT height = 0;
  if (bytes.empty() ||
      FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 ||
      height > 4096) {
    return cover;
  }
  std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()),
                                   pixels.data()))) {
    return cover;
  }
  cover.width = width;
  cover.height = height;
  cover.pixels = std::move(pixels);
  return cover;
}

// Takes in a "getCurrent" answer: null keeps what is shown; the empty marker and a reading
// replace it, and their signature is the next "since".
bool Adopt(const EncodableValue& value) {
  const auto* map = value.TryGet<EncodableMap>();
  if (map == nullptr) return false;
  Panel& panel = ThePanel();
  panel.since = StringAt(*map, "signature");
  if (map->count(EncodableValue("empty")) != 0) {
    panel.status = "nothing playing";
    panel.reading.clear();
    panel.cover = Cover();
    return true;
  }
  panel.status = "playing";
  panel.reading = *map;
  auto artwork = map->find(EncodableValue("artwork"));
  const auto* bytes =
      artwork == map->end() ? nullptr : artwork->second.TryGet<std::vector<uint8_t>>();
  panel.cover = bytes != nullptr ? DecodeCover(*bytes) : Cover();
  AppendRecord("now-playing cover " + (panel.cover.pixels.empty()
                                           ? std::string("none")
                                           : std::to_string(panel.cover.width) + "x" +
                                                 std::to_string(panel.cover.height)));
  return true;
}

void CALLBACK Poll(HWND view, UINT, UINT_PTR, DWORD) {
  Panel& panel = ThePanel();
  std::unique_ptr<EncodableValue> arguments;
  if (panel.since) {
    arguments = std::make_unique<EncodableValue>(
        EncodableMap{{EncodableValue("since"), EncodableValue(*panel.since)}});
  }
  const std::string since = panel.since ? *panel.since : "-";
  const Answer answer = Call("getCurrent", std::move(arguments));
  const bool success = answer.text == "success";
  AppendRecord("now-playing getCurrent since=" + since + " " +
               (success ? Describe(answer.value) : answer.text));
  if (success && Adopt(answer.value)) {
    ::InvalidateRect(view, nullptr, FALSE);
  }
}

void TextLine(HDC dc, int x, int* y, const std::wstring& text) {
  ::TextOutW(dc, x, *y, text.c_str(), static_cast<int>(text.size()));
  TEXTMETRICW metrics;
  ::GetTextMetricsW(dc, &metrics);
  *y += metrics.tmHeight + 4;
}

}  // namespace

void StartNowPlaying(HWND view) {
  Panel& panel = ThePanel();
  if (panel.started || EnvironmentText(L"ORVANE_STANDIN_NOW_PLAYING") == L"0") return;
  panel.started = true;
  const Answer answer = Call("start", nullptr);
  const bool success = answer.text == "success";
  AppendRecord("now-playing start " + (success ? Describe(answer.value) : answer.text));
  panel.status = success ? "waiting for the first reading" : "start: " + answer.text;
  Poll(view, 0, 0, 0);
  ::SetTimer(view, kPollTimer, kPollMilliseconds, Poll);
}

int PaintNowPlaying(HDC dc, int x, int y) {
  const Panel& panel = ThePanel();
  TextLine(dc, x, &y, L"Now playing, from the channel com.orvane.now_playing:");
  x += 16;
  const int top = y + 4;
  int text_x = x;
  if (!panel.cover.pixels.empty()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(panel.cover.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(panel.cover.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchDIBits(dc, x, top, kCoverSide, kCoverSide, 0, 0, static_cast<int>(panel.cover.width),
                    static_cast<int>(panel.cover.height), panel.cover.pixels.data(), &info,
                    DIB_RGB_COLORS, SRCCOPY);
    text_x += kCoverSide + 20;
  }
  int text_y = top;
  if (panel.reading.empty()) {
    TextLine(dc, text_x, &text_y, Widen("(" + panel.status + ")"));
  } else {
    auto playing = panel.reading.find(EncodableValue("isPlaying"));
    const bool* is_playing =
        playing == panel.reading.end() ? nullptr : playing->second.TryGet<bool>();
    TextLine(dc, text_x, &text_y, L"Title:   " + Widen(StringAt(panel.reading, "title")));
    TextLine(dc, text_x, &text_y, L"Artist:  " + Widen(StringAt(panel.reading, "artist")));
    TextLine(dc, text_x, &text_y, L"Album:   " + Widen(StringAt(panel.reading, "album")));
    TextLine(dc, text_x, &text_y, L"Source:  " + Widen(StringAt(panel.reading, "source")));
    TextLine(dc, text_x, &text_y,
             is_playing != nullptr && *is_playing ? L"State:   playing" : L"State:   paused");
  }
  const int cover_bottom = panel.cover.pixels.empty() ? top : top + kCoverSide;
  return (text_y > cover_bottom ? text_y : cover_bottom) + 8;
}

}  // namespace orvane_standin
