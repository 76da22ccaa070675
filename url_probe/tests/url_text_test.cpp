#include "url_probe/url_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane::url_probe {
namespace {

using namespace std::string_view_literals;

std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(UrlText, IsUrlish) {
  // Only U+0020 is a space and only U+002E a full stop; "://" wins over a space.
  for (auto text :
       {u"a://b c"sv, u"about:blank"sv, u"site.example"sv, u"a\tb.x"sv, u"a\u00a0b.x"sv})
    EXPECT_TRUE(is_urlish(text)) << Ascii(text);
  for (auto text : {u""sv, u"a: b"sv, u"hello world.example"sv, u"localhost"sv, u"\u2026"sv})
    EXPECT_FALSE(is_urlish(text)) << Ascii(text);
}

TEST(UrlText, IsDefiniteAddressBar) {
  // The id must match whole; the name, lower-cased from A to Z only, must contain a word.
  const std::u16string_view yes[][2] = {{u"urlbar-input", u""},
                                        {u"", u"Address and search bar"},
                                        {u"", u"Search or enter URL"},
                                        {u"", u"Curly"},
                                        {u"", u"a\0url"sv}};
  const std::u16string_view no[][2] = {{u"URLBAR-INPUT", u""},
                                       {u"urlbar-input2", u""},
                                       {u"urlbar-input\0x"sv, u""},
                                       {u"urlbar", u"Search"},
                                       {u"", u"\u00dcRL"}};
  for (const auto& c : yes) EXPECT_TRUE(is_definite_address_bar(c[0], c[1])) << Ascii(c[1]);
  for (const auto& c : no) EXPECT_FALSE(is_definite_address_bar(c[0], c[1])) << Ascii(c[0]);
}

}  // namespace
}  // namespace orvane::url_probe
