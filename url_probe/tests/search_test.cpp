#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "testing/probe_platform/recorded_platform.h"
#include "url_probe/address_bar_search.h"
#include "url_probe/export_calls.h"
#include "url_probe/msaa_walk.h"
#include "url_probe/url_text.h"

namespace orvane::url_probe::testing {
namespace {

using namespace std::string_view_literals;

std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(UrlText, TellsUrlishTextAndDefiniteAddressBars) {
  // Only U+0020 is a space and only U+002E a full stop; "://" wins over a space.
  for (auto text :
       {u"a://b c"sv, u"about:blank"sv, u"site.example"sv, u"a\tb.x"sv, u"a\u00a0b.x"sv})
    EXPECT_TRUE(is_urlish(text)) << Ascii(text);
  for (auto text : {u""sv, u"a: b"sv, u"hello world.example"sv, u"localhost"sv, u"\u2026"sv})
    EXPECT_FALSE(is_urlish(text)) << Ascii(text);
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

const WindowHandle kWindow = reinterpret_cast<WindowHandle>(uintptr_t{0x1234});

std::optional<RecordedEdit> Edit(PortText id, PortText name, PortText value) {
  return RecordedEdit{std::move(id), std::move(name), std::move(value)};
}

RecordedWindow WithEdits(std::vector<std::optional<RecordedEdit>> edits) {
  RecordedWindow window;
  window.edits = std::move(edits);
  window.acc = RecordedAcc{10, {}, {}, {}, {RecordedAcc{42, {}, {}, u"tree.example", {}}}};
  return window;
}

// Both forms find the same URL, walk only when no Edit serves, and release all before uninit.
void ExpectFound(const RecordedWindow& window, const std::u16string& expected,
                 int uninit_calls = 1) {
  for (const ProbeForm form : {ProbeForm::kUntraced, ProbeForm::kTraced}) {
    RecordedPlatform platform(window);
    EXPECT_EQ(probe_url_for_window(platform, kWindow, form, RecordTrace), expected);
    EXPECT_EQ(platform.msaa_calls, expected == u"tree.example" ? 1 : 0);
    EXPECT_EQ(platform.uninit_calls, uninit_calls);
    EXPECT_EQ(platform.live_at_uninit, 0);
  }
}

TEST(AddressBarSearch, ChoosesByTheRulesAndWalksOnlyWhenNoEditServes) {
  const RecordedEdit no_pattern{u"urlbar-input", {}, u"x.example", false};
  const std::pair<std::u16string, std::vector<std::optional<RecordedEdit>>> cases[] = {
      {u"b.example",
       {Edit(u"", u"Search", u"a.example"), Edit(u"urlbar-input", u"", u"b.example")}},
      {u"hello world", {Edit(u"", u"Address", u"hello world")}},
      {u"b.example",
       {Edit(u"urlbar-input", u"", u""), Edit(u"", u"", u"a.example"),
        Edit(u"", u"URL", u"b.example"), Edit(u"", u"URL", u"c.example")}},
      {u"a.example",
       {Edit(u"urlbar-input", u"", std::nullopt), no_pattern, std::nullopt,
        Edit({}, {}, u"a.example"), Edit(u"", u"", u"b.example")}},
      {u"tree.example", {}},
      {u"tree.example", {Edit(u"", u"Search", u"a b"), Edit(u"", u"", u"")}},
  };
  for (const auto& [expected, edits] : cases) {
    SCOPED_TRACE(Ascii(expected));
    ExpectFound(WithEdits(edits), expected);
  }
  // A failure before the Edit controls are read ends the search with nothing, as does running
  // out of memory midway.
  for (bool RecordedWindow::*step :
       {&RecordedWindow::has_automation, &RecordedWindow::has_root, &RecordedWindow::has_condition,
        &RecordedWindow::find_all_succeeds, &RecordedWindow::has_memory}) {
    RecordedWindow window = WithEdits({Edit(u"urlbar-input", u"", u"a.example")});
    window.*step = false;
    ExpectFound(window, u"");
  }
}

TEST(AddressBarSearch, UninitialisesOnlyWhenItsOwnInitialisationCounts) {
  const std::pair<uint32_t, int> cases[] = {
      {0, 1}, {1, 1}, {0x80010106u /* RPC_E_CHANGED_MODE */, 0}, {0x8007000Eu, 0}, {2, 0}};
  for (const auto& [hr, uninit_calls] : cases) {
    RecordedWindow window = WithEdits({Edit(u"", u"", u"a.example")});
    window.com_init_hr = static_cast<int32_t>(hr);
    RecordedTrace().clear();
    ExpectFound(window, u"a.example", uninit_calls);
    EXPECT_EQ(RecordedTrace().at(1).back(), '0' + uninit_calls);  // "need_uninit=N"
  }
  RecordedPlatform platform(WithEdits({}));
  EXPECT_EQ(probe_url_for_window(platform, nullptr, ProbeForm::kTraced, RecordTrace), u"");
  EXPECT_EQ(platform.init_calls, 0);
}

TEST(AddressBarSearch, TracesEachStep) {
  RecordedWindow window =
      WithEdits({RecordedEdit{u"x", u"Tabs", {}, false}, Edit(u"", u"Search", u"a b"),
                 Edit(u"urlbar-input", u"", u"news.example")});
  window.root_name = u"Page - Browser";
  window.root_class_name = u"BrowserWindow";
  RecordedPlatform platform(window);
  RecordedTrace().clear();
  probe_url_for_window(platform, kWindow, ProbeForm::kTraced, RecordTrace);
  // The first line's handle text depends on the platform.
  EXPECT_EQ(RecordedTrace().at(0).rfind("--- ov_get_url_for_hwnd hwnd=", 0), 0u);
  EXPECT_EQ(
      std::vector<std::string>(RecordedTrace().begin() + 1, RecordedTrace().end()),
      (std::vector<std::string>{
          "  CoInitializeEx hr=0x00000000 need_uninit=1",
          "  root.Name=\"Page - Browser\"",
          "  root.ClassName=\"BrowserWindow\"",
          "  found 3 Edit controls",
          "  edit[0] id=\"x\" name=\"Tabs\" (no ValuePattern)",
          "  edit[1] id=\"\" name=\"Search\" value=\"a b\" definite=0 urlish=0",
          "  edit[2] id=\"urlbar-input\" name=\"\" value=\"news.example\" definite=1 urlish=1",
          "  final url=\"news.example\"",
      }));
}

RecordedAcc Node(std::optional<int32_t> role, PortText name = {},
                 std::vector<RecordedAcc> kids = {}, int32_t state = 0) {
  return RecordedAcc{role, state, std::move(name), {}, std::move(kids)};
}
constexpr int32_t kFocused = 0x4;

// Wraps `leaf` in `levels` plain nodes.
RecordedAcc Deep(RecordedAcc leaf, int levels) {
  for (int i = 0; i < levels; ++i) leaf = Node(10, {}, {leaf});
  return leaf;
}

std::u16string Find(const RecordedAcc& tree) {
  RecordedWindow window;
  window.acc = tree;
  RecordedPlatform platform(window);
  RecordedTrace().clear();
  std::u16string url = msaa_find_url(platform, reinterpret_cast<WindowHandle>(1), RecordTrace);
  EXPECT_EQ(platform.live, 0);
  return url;
}

TEST(MsaaWalk, ChoosesFocusThenScoreThenDepthThenOrder) {
  RecordedAcc no_count = Node(10, {}, {Node(42, u"hidden.x", {}, kFocused)}),
              no_children = no_count;
  no_count.child_count_fails = no_children.children_fail = true;
  // Each case: the expected choice among the children of a plain root.
  const std::pair<std::u16string, std::vector<RecordedAcc>> cases[] = {
      {u"x.example", {Node(46, u"combo.example"), Node(1, u"x.example", {}, kFocused)}},
      {u"combo.example", {Node(15, u"doc.example"), Node(46, u"combo.example")}},
      {u"doc.example", {Node(42, u"text.example"), Node(15, u"doc.example")}},
      {u"text.example", {Node(30, u"link.example"), Node(42, u"text.example")}},
      {u"link.example", {Node({}, u"any.example"), Node(30, u"link.example")}},
      {u"near.x", {Deep(Node(42, u"deep.x"), 2), Deep(Node(42, u"near.x"), 1)}},
      {u"a.example", {Node(42, u"a.example"), Node(42, u"b.example")}},
      {u"value.x", {RecordedAcc{46, 0, u"name.x", u"value.x", {}}}},  // value before name
      {u"plain.x",
       {Node(37, u"tab.x", {}, kFocused), Node(60, {}, {Node(46, u"in.x", {}, kFocused)}),
        Node(1, u"plain.x")}},
      {u"", {Node(15, u"Title", {Node(46, u"in.x", {}, kFocused)})}},  // document not walked
      {u"seen.x", {no_count, no_children, Node(1, u"seen.x")}},
      {u"depth6.x", {Deep(Node(10, u"depth6.x", {Node(46, u"depth7.x", {}, kFocused)}), 5)}},
  };
  for (const auto& [expected, children] : cases)
    EXPECT_EQ(Find(Node(10, {}, children)), expected) << Ascii(expected);
}

TEST(MsaaWalk, TracesTwelveCandidatesButChoosesAmongAll) {
  std::vector<RecordedAcc> children;
  for (char16_t i = 0; i < 14; ++i)
    children.push_back(Node(42, u"c" + std::u16string(1, u'a' + i) + u".x"));
  children.push_back(Node(1, u"last.example", {}, kFocused));
  EXPECT_EQ(Find(Node(10, {}, children)), u"last.example");
  const auto& lines = RecordedTrace();
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], "  msaa walk found 15 candidates in 7ms");
  EXPECT_EQ(lines[12], "    candidate[11] score=50 depth=1 role=42 focused=0 value=\"cl.x\"");
  EXPECT_EQ(lines[13], "    picked[14] score=1 depth=1 focused=1 value=\"last.example\"");
  // An absent object is passed over, not read.
  std::vector<UrlCandidate> none;
  msaa_walk(nullptr, none, 0, kMsaaMaxDepth);
  EXPECT_TRUE(none.empty());
}

TEST(ExportCalls, CopiesWithinTheCapacityAndRefusesBadArguments) {
  const std::u16string twenty = u"https://a.example/xy";
  const RecordedWindow window = WithEdits({Edit(u"urlbar-input", u"", twenty)});
  const std::pair<int32_t, std::u16string> cases[] = {
      {-5, u""}, {0, u""}, {1, u""}, {2, u"h"}, {10, u"https://a"}, {21, twenty}, {24, twenty}};
  for (const auto& [capacity, copied] : cases) {
    RecordedPlatform platform(window);
    std::u16string buffer(24, u'#');
    EXPECT_EQ(get_url_for_hwnd(platform, kWindow, buffer.data(), capacity), int32_t(copied.size()));
    EXPECT_EQ(buffer.substr(0, buffer.find(u'#')), capacity < 2 ? u"" : copied + u'\0') << capacity;
    EXPECT_EQ(platform.init_calls, capacity < 2 ? 0 : 1);
  }
  RecordedPlatform platform(RecordedWindow{});
  std::u16string buffer(4, u'#');
  EXPECT_EQ(get_url_for_hwnd(platform, nullptr, buffer.data(), 4), 0);
  EXPECT_EQ(get_url_for_hwnd(platform, kWindow, nullptr, 4), 0);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(get_url_for_hwnd(platform, kWindow, buffer.data(), 4), 0);  // nothing found
  EXPECT_EQ(buffer, std::u16string(u"\0###", 4));
}

}  // namespace
}  // namespace orvane::url_probe::testing
