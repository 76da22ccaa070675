// The demo's now-playing panel (now_playing_panel.h).

#include "demo/now_playing_panel.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

#include "demo/ui_program.h"
#include "testing/engine/standin_record.h"

namespace orvane_demo {
namespace {

using Microsoft::WRL::ComPtr;
using orvane::EncodableMap;
using orvane::EncodableValue;
using orvane_standin::Widen;

constexpr int kCoverSide = 160;

// 32 bits per pixel, blue-green-red-alpha, top row first.
struct Cover {
  UINT width = 0;
  UINT height = 0;
  std::vector<BYTE> pixels;
};

// What the panel shows; touched on the view's thread only.
struct Panel {
  std::string status = "waiting for the first reading";
  EncodableMap reading;
  Cover cover;
};

Panel& ThePanel() {
  static Panel* panel = new Panel();
  return *panel;
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

}  // namespace

void TextLine(HDC dc, int x, int* y, const std::wstring& text) {
  ::TextOutW(dc, x, *y, text.c_str(), static_cast<int>(text.size()));
  TEXTMETRICW metrics;
  ::GetTextMetricsW(dc, &metrics);
  *y += metrics.tmHeight + 4;
}

void ShowReading(HWND view, const EncodableMap& reading) {
  Panel& panel = ThePanel();
  const bool empty = reading.count(EncodableValue("empty")) != 0;
  panel.status = empty ? "nothing playing" : "playing";
  panel.reading = empty ? EncodableMap() : reading;
  auto artwork = reading.find(EncodableValue("artwork"));
  const auto* bytes =
      artwork == reading.end() ? nullptr : artwork->second.TryGet<std::vector<uint8_t>>();
  panel.cover = bytes != nullptr ? DecodeCover(*bytes) : Cover();
  ::InvalidateRect(view, nullptr, FALSE);
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

}  // namespace orvane_demo
