#include "url_probe/url_text.h"

#include <string>

namespace orvane::url_probe {
namespace {

bool Contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

// towlower in the default "C" locale changes only A to Z; doing exactly that keeps the result the
// same on every platform and every wchar_t width.
char16_t LowerAscii(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

}  // namespace

bool is_urlish(std::u16string_view text) {
  if (text.empty()) return false;
  if (Contains(text, u"://")) return true;
  const bool has_space = Contains(text, u" ");
  if (Contains(text, u":") && !has_space) return true;
  if (has_space) return false;
  return Contains(text, u".");
}

bool is_definite_address_bar(std::u16string_view automation_id, std::u16string_view name) {
  if (automation_id == u"urlbar-input") return true;
  std::u16string lowered(name);
  for (char16_t& unit : lowered) unit = LowerAscii(unit);
  return Contains(lowered, u"address") || Contains(lowered, u"url");
}

}  // namespace orvane::url_probe
