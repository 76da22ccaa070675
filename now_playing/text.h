#pragma once

#include <string>

namespace orvane::now_playing {

// UTF-16 to UTF-8 as the platform's conversion to code page 65001 with flags 0 does it: an
// unpaired surrogate becomes U+FFFD instead of failing the conversion.
std::string WideToUtf8(const std::u16string& text);

// One unit at a time, A to Z become a to z (what towlower does in the default locale).
std::u16string LowerCase(std::u16string text);

}  // namespace orvane::now_playing
