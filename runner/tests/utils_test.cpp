#include "runner/utils.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ToUtf8, ConvertsValidTextAndEmptiesInvalidText) {
  const wchar_t lone_high[] = {L'a', 0xD800, L'b', 0};
  const wchar_t lone_low[] = {0xDC00, 0};
  const wchar_t pair[] = {0xD83D, 0xDE00, 0};  // U+1F600
  const struct {
    const wchar_t* text;
    std::string utf8;
  } cases[] = {
      {nullptr, ""},
      {L"", ""},
      {L"--widget", "--widget"},
      {L"caf\u00e9", "caf\xc3\xa9"},
      {pair, "\xf0\x9f\x98\x80"},
      {lone_high, ""},
      {lone_low, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(c.text), c.utf8) << c.utf8;
}

}  // namespace
}  // namespace orvane
