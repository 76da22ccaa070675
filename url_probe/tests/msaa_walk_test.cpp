#include "url_probe/msaa_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "url_probe/tests/recorded_platform.h"

namespace orvane::url_probe::testing {
namespace {

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

std::u16string Find(const RecordedAcc& tree, int32_t acc_hr = 0) {
  RecordedWindow window;
  if (acc_hr == 0) window.acc = tree;
  window.acc_hr = acc_hr;
  RecordedPlatform platform(window);
  RecordedTrace().clear();
  std::u16string url = msaa_find_url(platform, reinterpret_cast<WindowHandle>(1), RecordTrace);
  EXPECT_EQ(platform.live, 0);
  return url;
}

TEST(MsaaWalk, ChoosesFocusThenScoreThenDepthThenOrder) {
  RecordedAcc no_count = Node(10, {}, {Node(42, u"hidden1.example", {}, kFocused)});
  no_count.child_count_fails = true;
  RecordedAcc no_children = Node(10, {}, {Node(42, u"hidden2.example", {}, kFocused)});
  no_children.children_fail = true;
  const struct {
    const char* what;
    std::vector<RecordedAcc> children;
    std::u16string expected;
  } cases[] = {
      {"focused beats score",
       {Node(46, u"combo.example"), Node(1, u"x.example", {}, kFocused)},
       u"x.example"},
      {"combo box, document",
       {Node(15, u"doc.example"), Node(46, u"combo.example")},
       u"combo.example"},
      {"document, text", {Node(42, u"text.example"), Node(15, u"doc.example")}, u"doc.example"},
      {"text, link", {Node(30, u"link.example"), Node(42, u"text.example")}, u"text.example"},
      {"link, other", {Node({}, u"any.example"), Node(30, u"link.example")}, u"link.example"},
      {"shallower wins, second",
       {Deep(Node(42, u"deep.x"), 2), Deep(Node(42, u"near.x"), 1)},
       u"near.x"},
      {"shallower wins, first",
       {Deep(Node(42, u"near.x"), 1), Deep(Node(42, u"deep.x"), 2)},
       u"near.x"},
      {"full tie keeps the earlier",
       {Node(42, u"a.example"), Node(42, u"b.example")},
       u"a.example"},
      {"tab and tab list are pruned",
       {Node(37, u"tab.example", {}, kFocused),
        Node(60, {}, {Node(46, u"under.example", {}, kFocused)}), Node(1, u"plain.example")},
       u"plain.example"},
      {"document children are not walked",
       {Node(15, u"Title", {Node(46, u"inner.example", {}, kFocused)})},
       u""},
      {"unreadable subtrees are skipped",
       {no_count, no_children, Node(1, u"seen.example")},
       u"seen.example"},
      {"depth 6 is examined, 7 is not",
       {Deep(Node(10, u"depth6.example", {Node(46, u"depth7.example", {}, kFocused)}), 5)},
       u"depth6.example"},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(Node(10, {}, c.children)), c.expected) << c.what;
}

TEST(MsaaWalk, RecordsCandidatesInPreOrderValueBeforeName) {
  RecordedAcc combo = Node(46, u"name.example", {}, kFocused);
  combo.value = u"value.example";
  RecordedWindow window;
  window.acc = Node(10, u"root.example", {combo, Node({}, u"x:y")});
  RecordedPlatform platform(window);
  std::vector<UrlCandidate> found;
  msaa_walk(platform.AccessibleObjectFromWindow(nullptr).object.get(), found, 0, kMsaaMaxDepth);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].value, u"root.example");
  EXPECT_EQ(found[2].value, u"name.example");
  EXPECT_EQ(found[3].value, u"x:y");
  EXPECT_EQ(found[3].role, -1);
  EXPECT_EQ(found[3].score, 1);
  const UrlCandidate& value = found[1];
  EXPECT_EQ(std::tie(value.value, value.score, value.depth, value.role, value.focused),
            std::make_tuple(std::u16string(u"value.example"), 100, 1, 46, true));
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
  EXPECT_EQ(lines[1], "    candidate[0] score=50 depth=1 role=42 focused=0 value=\"ca.x\"");
  EXPECT_EQ(lines[12], "    candidate[11] score=50 depth=1 role=42 focused=0 value=\"cl.x\"");
  EXPECT_EQ(lines[13], "    picked[14] score=1 depth=1 focused=1 value=\"last.example\"");

  EXPECT_EQ(Find(Node(10, u"Browser")), u"");
  EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"  msaa walk found 0 candidates in 7ms"});
  EXPECT_EQ(Find(Node(10), static_cast<int32_t>(0x80004002u)), u"");
  EXPECT_EQ(RecordedTrace(),
            std::vector<std::string>{"  msaa AccessibleObjectFromWindow failed hr=0x80004002"});
}

}  // namespace
}  // namespace orvane::url_probe::testing
