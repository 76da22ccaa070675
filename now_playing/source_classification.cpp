#include "now_playing/source_classification.h"

#include <cstddef>
#include <optional>

#include "now_playing/text.h"

namespace orvane::now_playing {
namespace {

// Buffer sizes of the platform queries, in UTF-16 units.
constexpr size_t kImagePathCapacity = 260;
constexpr size_t kWindowTextCapacity = 512;

const char16_t* const kBrowserExecutables[] = {u"chrome.exe", u"msedge.exe", u"firefox.exe",
                                               u"brave.exe",  u"opera.exe",  u"vivaldi.exe"};

struct Rule {
  const char16_t* contains;
  const char* label;  // none: ask the browser windows
};

// First hit decides.
const Rule kApplicationIdRules[] = {
    {u"spotify", "spotify"},  {u"chrome", nullptr},      {u"msedge", nullptr},
    {u"edge", nullptr},       {u"firefox", nullptr},     {u"brave", nullptr},
    {u"applemusic", "apple"}, {u"apple music", "apple"}, {u"itunes", "apple"},
    {u"youtube", "youtube"},  {u"twitch", "twitch"},
};

const Rule kWindowTitleRules[] = {
    {u"apple music", "apple"},
    {u"youtube", "youtube"},
    {u"spotify", "spotify"},
    {u"twitch", "twitch"},
};

bool Contains(const std::u16string& text, const char16_t* part) {
  return text.find(part) != std::u16string::npos;
}

bool IsBrowserExecutable(const std::u16string& path) {
  size_t slash = path.find_last_of(u"\\/");
  std::u16string name = LowerCase(slash == std::u16string::npos ? path : path.substr(slash + 1));
  for (const char16_t* executable : kBrowserExecutables) {
    if (name == executable) return true;
  }
  return false;
}

struct Enumeration {
  WindowPlatform* windows;
  BrowserWindowSearch* search;
};

bool Visit(WindowHandle window, void* context) {
  auto* enumeration = static_cast<Enumeration*>(context);
  return VisitWindow(*enumeration->windows, window, *enumeration->search);
}

std::string Search(WindowPlatform& windows, std::u16string hint) {
  BrowserWindowSearch search{std::move(hint), std::string()};
  Enumeration enumeration{&windows, &search};
  windows.EnumerateWindows(&Visit, &enumeration);
  return search.label;
}

}  // namespace

bool VisitWindow(WindowPlatform& windows, WindowHandle window, BrowserWindowSearch& search) {
  if (!search.label.empty()) return false;
  if (!windows.IsVisible(window)) return true;
  uint32_t process_id = windows.ProcessId(window);
  if (process_id == 0) return true;
  std::optional<std::u16string> path = windows.ProcessImagePath(process_id, kImagePathCapacity);
  if (!path || !IsBrowserExecutable(*path)) return true;
  std::u16string title = windows.WindowText(window, kWindowTextCapacity);
  if (title.empty()) return true;
  title = LowerCase(std::move(title));
  if (!search.hint.empty() && title.find(search.hint) == std::u16string::npos) return true;
  for (const Rule& rule : kWindowTitleRules) {
    if (Contains(title, rule.contains)) {
      search.label = rule.label;
      return false;
    }
  }
  return true;
}

std::string ClassifyByBrowserWindows(WindowPlatform& windows, const std::u16string& title) {
  std::string label = Search(windows, LowerCase(title));
  if (label.empty()) label = Search(windows, std::u16string());
  if (label.empty()) return "browser";
  return label;
}

std::string ClassifySource(WindowPlatform& windows, const std::u16string& application_id,
                           const std::u16string& title) {
  const std::u16string id = LowerCase(application_id);
  for (const Rule& rule : kApplicationIdRules) {
    if (!Contains(id, rule.contains)) continue;
    if (rule.label != nullptr) return rule.label;
    return ClassifyByBrowserWindows(windows, title);
  }
  std::string label = ClassifyByBrowserWindows(windows, title);
  if (label == "browser") return "unknown";
  return label;
}

}  // namespace orvane::now_playing
