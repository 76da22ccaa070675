#include "url_probe/export_calls.h"

#include <gtest/gtest.h>

#include <string>

#include "url_probe/tests/recorded_platform.h"

namespace orvane::url_probe::testing {
namespace {

TEST(ExportCalls, CopiesWithinTheCapacityAndRefusesBadArguments) {
  const WindowHandle w = reinterpret_cast<WindowHandle>(uintptr_t{0x42});
  const std::u16string twenty = u"https://a.example/xy";
  RecordedWindow window;
  window.edits.push_back(RecordedEdit{u"urlbar-input", u"", twenty});
  const struct {
    WindowHandle hwnd;
    bool has_buffer;
    int32_t capacity, result;
    std::u16string left;  // the buffer of '#' afterwards, up to the first '#'
  } cases[] = {
      {w, true, -5, 0, u""},
      {w, true, 0, 0, u""},
      {w, true, 1, 0, u""},
      {nullptr, true, 8, 0, u""},
      {w, false, 8, 0, u""},
      {w, true, 2, 1, std::u16string(u"h\0", 2)},
      {w, true, 10, 9, std::u16string(u"https://a\0", 10)},
      {w, true, 21, 20, twenty + u'\0'},
  };
  for (const auto& c : cases) {
    RecordedPlatform platform(window);
    std::u16string buffer(24, u'#');
    EXPECT_EQ(
        get_url_for_hwnd(platform, c.hwnd, c.has_buffer ? buffer.data() : nullptr, c.capacity),
        c.result)
        << c.capacity;
    EXPECT_EQ(buffer.substr(0, buffer.find(u'#')), c.left) << c.capacity;
    EXPECT_EQ(platform.init_calls, c.result > 0 ? 1 : 0) << c.capacity;
  }
  RecordedPlatform nothing(RecordedWindow{});  // nothing found still writes an empty string
  std::u16string buffer(4, u'#');
  EXPECT_EQ(get_url_for_hwnd(nothing, w, buffer.data(), 4), 0);
  EXPECT_EQ(buffer, std::u16string(u"\0###", 4));
}

}  // namespace
}  // namespace orvane::url_probe::testing
