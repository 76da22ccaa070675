#include "url_probe/url_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane::url_probe {
namespace {

struct UrlishCase {
  std::u16string text;
  bool expected;
};

TEST(IsUrlish, FollowsTheRulesInOrder) {
  const UrlishCase cases[] = {
      {u"", false},
      {u"scheme://host/a b", true},  // "://" wins over the space
      {u"about:blank", true},
      {u"host:80", true},
      {u"a: b", false},  // a colon with a space is not enough
      {u"site.example", true},
      {u"site.example/search?q=a", true},
      {u"hello world.example", false},
      {u"Search or type a URL", false},
      {u"localhost", false},
      {u"\u2026", false},           // only U+002E is a full stop
      {u"a\tb.example", true},      // a tab is not a space
      {u"a\u00a0b.example", true},  // nor is a no-break space
      {u".", true},
      {u":", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_urlish(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
  }
}

struct AddressBarCase {
  std::u16string automation_id;
  std::u16string name;
  bool expected;
};

TEST(IsDefiniteAddressBar, MatchesIdWholeAndNameByPart) {
  const AddressBarCase cases[] = {
      {u"urlbar-input", u"", true},
      {u"URLBAR-INPUT", u"", false},
      {u"urlbar-input2", u"", false},
      {u"xurlbar-input", u"", false},
      {u"", u"Address and search bar", true},
      {u"", u"ADDRESS", true},
      {u"", u"Search or enter URL", true},
      {u"", u"Curly", true},
      {u"", u"Search", false},
      {u"urlbar", u"Search", false},
      {u"", u"\u00dcRL", false},  // only A to Z are lower-cased
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_definite_address_bar(c.automation_id, c.name), c.expected)
        << std::string(c.automation_id.begin(), c.automation_id.end()) << " / "
        << std::string(c.name.begin(), c.name.end());
  }
}

TEST(IsDefiniteAddressBar, IgnoresEmbeddedZeroUnits) {
  // Explicit lengths: a zero unit is just another unit, never an end of text.
  const std::u16string id(u"urlbar-input\0x", 14);
  EXPECT_FALSE(is_definite_address_bar(id, u""));
  EXPECT_TRUE(is_definite_address_bar(u"", std::u16string(u"a\0url", 5)));
}

}  // namespace
}  // namespace orvane::url_probe
