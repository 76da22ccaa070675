#include "url_probe/url_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane::url_probe {
namespace {

std::string Ascii(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(UrlText, IsUrlish) {
  const struct {
    std::u16string text;
    bool expected;
  } cases[] = {
      {u"", false},
      {u"scheme://host/a b", true},  // "://" wins over the space
      {u"about:blank", true},
      {u"a: b", false},
      {u"site.example", true},
      {u"hello world.example", false},
      {u"localhost", false},
      {u"\u2026", false},       // only U+002E is a full stop
      {u"a\tb.example", true},  // only U+0020 is a space
      {u"a\u00a0b.example", true},
  };
  for (const auto& c : cases) EXPECT_EQ(is_urlish(c.text), c.expected) << Ascii(c.text);
}

TEST(UrlText, IsDefiniteAddressBar) {
  const struct {
    std::u16string automation_id, name;
    bool expected;
  } cases[] = {
      {u"urlbar-input", u"", true},
      {u"URLBAR-INPUT", u"", false},
      {u"urlbar-input2", u"", false},
      {std::u16string(u"urlbar-input\0x", 14), u"", false},  // a zero unit ends nothing
      {u"", u"Address and search bar", true},
      {u"", u"Search or enter URL", true},
      {u"", u"Curly", true},
      {u"", std::u16string(u"a\0url", 5), true},
      {u"urlbar", u"Search", false},
      {u"", u"\u00dcRL", false},  // only A to Z are lower-cased
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_definite_address_bar(c.automation_id, c.name), c.expected)
        << Ascii(c.automation_id) << " / " << Ascii(c.name);
  }
}

}  // namespace
}  // namespace orvane::url_probe
