// The demo's UI program (ui_program.h).

#include "demo/ui_program.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "demo/now_playing_panel.h"
#include "testing/engine/engine_standin.h"
#include "testing/engine/standin_record.h"
#include "testing/standin_library.h"

namespace orvane_demo {
namespace {

using orvane::testing::ExportOf;
using orvane_standin::Widen;

// What the view shows above the now-playing panel; written by the URL worker too.
struct Shown {
  std::mutex lock;
  std::vector<std::string> arguments;
  std::vector<std::wstring> url_lines{L"(waiting for the first frame)"};
};

Shown& TheShown() {
  static Shown* shown = new Shown();
  return *shown;
}

void ShowUrlLines(HWND view, std::vector<std::wstring> lines) {
  {
    std::lock_guard<std::mutex> guard(TheShown().lock);
    TheShown().url_lines = std::move(lines);
  }
  ::InvalidateRect(view, nullptr, FALSE);
}

using GetUrl = int32_t (*)(HWND, wchar_t*, int32_t);
using RequestUrl = void (*)(HWND);

std::wstring Answer(const wchar_t* name, int32_t length, const wchar_t* text) {
  return std::wstring(name) + L": " + std::to_wstring(length) + L" \u2192 \"" + text + L"\"";
}

// Calls the executable's URL exports for the browser window titled `title` as the UI program does:
// the synchronous probe, then a request, then the cached reading once the probe's worker has
// stored it. On a thread of its own: the window may take a moment to appear, and a probe a while.
void ProbeBrowser(HWND view, const std::wstring& title) {
  HWND browser = nullptr;
  for (int tries = 0; tries < 100 && browser == nullptr; ++tries, ::Sleep(50)) {
    browser = ::FindWindowW(L"ORVANE_BROWSER_WINDOW", title.c_str());
  }
  if (browser == nullptr) return ShowUrlLines(view, {L"(no browser window \"" + title + L"\")"});
  // Beside this window, so that the screenshot shows its address bar.
  RECT frame{};
  ::GetWindowRect(::GetAncestor(view, GA_ROOT), &frame);
  ::SetWindowPos(browser, nullptr, frame.right + 10, frame.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const HMODULE executable = ::GetModuleHandleW(nullptr);
  const auto get_url = ExportOf<GetUrl>(executable, "ov_get_url_for_hwnd");
  const auto request_url = ExportOf<RequestUrl>(executable, "ov_request_url_for_hwnd");
  const auto get_cached = ExportOf<GetUrl>(executable, "ov_get_cached_url");
  char handle[32];
  std::snprintf(handle, sizeof handle, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(browser)));
  std::vector<std::wstring> lines{L"Browser window " + Widen(handle) + L" \"" + title + L"\""};
  if (!get_url || !request_url || !get_cached) {
    lines.push_back(L"not exported by this executable");
    return ShowUrlLines(view, lines);
  }
  wchar_t buffer[512] = L"";
  const int32_t synchronous = get_url(browser, buffer, 512);
  lines.push_back(Answer(L"ov_get_url_for_hwnd", synchronous, buffer));
  request_url(browser);
  lines.push_back(L"ov_request_url_for_hwnd: requested");
  int32_t cached = 0;
  for (int tries = 0; tries < 100 && cached == 0; ++tries, ::Sleep(20)) {
    buffer[0] = L'\0';
    cached = get_cached(browser, buffer, 512);
  }
  lines.push_back(Answer(L"ov_get_cached_url", cached, buffer));
  ShowUrlLines(view, lines);
}

}  // namespace

void Start(HWND view) {
  const orvane::testing::EngineRecord record = orvane::testing::Record();
  {
    std::lock_guard<std::mutex> guard(TheShown().lock);
    if (!record.engines_created.empty()) {
      TheShown().arguments = record.engines_created.back().entrypoint_arguments;
    }
  }
  // The browser window that scripts/demo.sh starts, named by its title; none in tests.
  const std::wstring title = orvane_standin::EnvironmentText(L"ORVANE_DEMO_BROWSER");
  if (title.empty()) {
    return ShowUrlLines(view, {L"(no browser window: scripts/demo.sh starts one)"});
  }
  ShowUrlLines(view, {L"(waiting for the browser window \"" + title + L"\")"});
  std::thread(ProbeBrowser, view, title).detach();
}

void Paint(HWND view) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(view, &paint);
  RECT area;
  ::GetClientRect(view, &area);
  HBRUSH background = ::CreateSolidBrush(RGB(24, 36, 48));
  ::FillRect(dc, &area, background);
  ::DeleteObject(background);

  HFONT heading = ::CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                ANTIALIASED_QUALITY, 0, L"Tahoma");
  HFONT body = ::CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"Tahoma");
  ::SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old_font = ::SelectObject(dc, heading);
  ::SetTextColor(dc, RGB(120, 220, 200));
  int y = 20;
  const int x = 24;
  TextLine(dc, x, &y, L"Orvane \u2014 stand-in UI program");
  ::SelectObject(dc, body);
  ::SetTextColor(dc, RGB(230, 230, 230));
  std::vector<std::string> arguments;
  std::vector<std::wstring> url_lines;
  {
    std::lock_guard<std::mutex> guard(TheShown().lock);
    arguments = TheShown().arguments;
    url_lines = TheShown().url_lines;
  }
  y += 8;
  TextLine(dc, x, &y,
           L"Entry-point arguments received (" + std::to_wstring(arguments.size()) + L"):");
  for (size_t i = 0; i < arguments.size(); ++i) {
    TextLine(dc, x, &y, L"    [" + std::to_wstring(i) + L"] \"" + Widen(arguments[i]) + L"\"");
  }
  y += 8;
  TextLine(dc, x, &y, L"URL functions, called through the executable's exports:");
  for (const std::wstring& text : url_lines) {
    TextLine(dc, x, &y, L"    " + text);
  }
  y += 8;
  PaintNowPlaying(dc, x, y);
  ::SelectObject(dc, old_font);
  ::DeleteObject(heading);
  ::DeleteObject(body);
  ::EndPaint(view, &paint);
}

}  // namespace orvane_demo
