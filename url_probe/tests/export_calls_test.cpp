#include "url_probe/export_calls.h"

#include <gtest/gtest.h>

#include <string>

#include "url_probe/tests/recorded_platform.h"

namespace orvane::url_probe::testing {
namespace {

WindowHandle Window() { return reinterpret_cast<WindowHandle>(uintptr_t{0x42}); }

const std::u16string kTwenty = u"https://a.example/xy";

struct CopyCase {
  int32_t capacity;
  int32_t result;
  std::u16string buffer;  // what the buffer of 24 '#' units holds afterwards, up to the first '#'
};

TEST(ExportCalls, ArgumentRuleAndCopyOut) {
  RecordedWindow window;
  window.edits.push_back(RecordedEdit{u"urlbar-input", u"", true, kTwenty});
  const CopyCase cases[] = {
      {-5, 0, u""},
      {0, 0, u""},
      {1, 0, u""},
      {2, 1, std::u16string(u"h\0", 2)},
      {10, 9, std::u16string(u"https://a\0", 10)},
      {21, 20, kTwenty + u'\0'},
      {24, 20, kTwenty + u'\0'},
  };
  for (const auto& c : cases) {
    RecordedPlatform platform(window);
    std::u16string buffer(24, u'#');
    EXPECT_EQ(get_url_for_hwnd(platform, Window(), buffer.data(), c.capacity), c.result)
        << c.capacity;
    EXPECT_EQ(buffer.substr(0, buffer.find(u'#')), c.buffer) << c.capacity;
    EXPECT_EQ(platform.init_calls, c.result > 0 ? 1 : 0);
  }
}

TEST(ExportCalls, RefusedArgumentsLeaveTheBufferAlone) {
  RecordedPlatform platform(RecordedWindow{});
  char16_t unit = u'#';
  EXPECT_EQ(get_url_for_hwnd(platform, nullptr, &unit, 8), 0);
  EXPECT_EQ(get_url_for_hwnd(platform, Window(), nullptr, 8), 0);
  EXPECT_EQ(unit, u'#');
  EXPECT_EQ(platform.init_calls, 0);

  // Nothing found still leaves an empty string.
  std::u16string buffer(4, u'#');
  EXPECT_EQ(get_url_for_hwnd(platform, Window(), buffer.data(), 4), 0);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(buffer[1], u'#');
}

}  // namespace
}  // namespace orvane::url_probe::testing
