#pragma once

#include <string>

#include "now_playing/window_port.h"

namespace orvane::now_playing {

// Passed through the window enumeration.
struct BrowserWindowSearch {
  std::u16string hint;  // lower-cased; a matching window title must contain it (empty: any)
  std::string label;    // the label found; empty until a window matches
};

// "spotify", "apple", "youtube", "twitch", "browser" or "unknown" for the application that
// plays, from its application id and, when that does not decide, the visible browser windows.
std::string ClassifySource(WindowPlatform& windows, const std::u16string& application_id,
                           const std::u16string& title);

// The site named by a visible browser window (preferring one whose title contains the media
// title); "browser" when none names one.
std::string ClassifyByBrowserWindows(WindowPlatform& windows, const std::u16string& title);

// One window of the enumeration: returns false (stop) once `search.label` is set.
bool VisitWindow(WindowPlatform& windows, WindowHandle window, BrowserWindowSearch& search);

}  // namespace orvane::now_playing
