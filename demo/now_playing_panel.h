#pragma once

// The demo's now-playing panel: the last reading (ShowReading), with its cover decoded by the
// imaging component (WIC).

#include <windows.h>

#include <string>

namespace orvane_demo {

// One line of text at (x, *y); moves *y below it.
void TextLine(HDC dc, int x, int* y, const std::wstring& text);

// Draws the panel from (x, y) down; returns the y below it.
int PaintNowPlaying(HDC dc, int x, int y);

}  // namespace orvane_demo
