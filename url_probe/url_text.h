#pragma once

#include <string_view>

namespace orvane::url_probe {

// True when the text looks like an address: it holds "://", or it holds no space and a colon or a
// full stop. Only U+0020 counts as a space; nothing is trimmed or case-folded.
bool is_urlish(std::u16string_view text);

// True when an Edit control identifies itself as a browser's address bar: its automation id is
// exactly "urlbar-input", or its name, lower-cased, contains "address" or "url".
bool is_definite_address_bar(std::u16string_view automation_id, std::u16string_view name);

}  // namespace orvane::url_probe
