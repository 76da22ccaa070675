#include "url_probe/msaa_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "url_probe/tests/recorded_platform.h"
#include "url_probe/tests/trace_recorder.h"

namespace orvane::url_probe::testing {
namespace {

RecordedAcc Node(std::optional<int32_t> role, PortText name = std::nullopt,
                 std::vector<RecordedAcc> children = {}) {
  RecordedAcc node;
  node.role = role;
  node.name = std::move(name);
  node.children = std::move(children);
  return node;
}

RecordedAcc Focused(RecordedAcc node) {
  node.state = 0x4 | 0x100000;
  return node;
}

std::u16string Find(const RecordedAcc& tree) {
  RecordedWindow window;
  window.acc = tree;
  RecordedPlatform platform(window);
  std::u16string url = msaa_find_url(platform, reinterpret_cast<WindowHandle>(1), RecordTrace);
  EXPECT_EQ(platform.live_objects, 0);
  return url;
}

std::vector<UrlCandidate> Walk(const RecordedAcc& tree) {
  RecordedWindow window;
  window.acc = tree;
  RecordedPlatform platform(window);
  std::vector<UrlCandidate> candidates;
  auto client = platform.AccessibleObjectFromWindow(nullptr);
  msaa_walk(client.object.get(), candidates, 0, kMsaaMaxDepth);
  return candidates;
}

TEST(MsaaChoice, FocusThenScoreThenDepthThenOrder) {
  const struct {
    const char* what;
    RecordedAcc tree;
    std::u16string expected;
  } cases[] = {
      {"focused link beats unfocused combo box",
       Node(10, {}, {Node(46, u"combo.example"), Focused(Node(30, u"link.example"))}),
       u"link.example"},
      {"combo box beats document",
       Node(10, {}, {Node(15, u"doc.example"), Node(46, u"combo.example")}), u"combo.example"},
      {"document beats text", Node(10, {}, {Node(42, u"text.example"), Node(15, u"doc.example")}),
       u"doc.example"},
      {"text beats link", Node(10, {}, {Node(30, u"link.example"), Node(42, u"text.example")}),
       u"text.example"},
      {"link beats other roles",
       Node(10, {}, {Node(std::nullopt, u"any.example"), Node(30, u"link.example")}),
       u"link.example"},
      {"shallower wins, coming second",
       Node(10, {},
            {Node(10, {}, {Node(10, {}, {Node(10, {}, {Node(42, u"deep.example")})})}),
             Node(10, {}, {Node(42, u"shallow.example")})}),
       u"shallow.example"},
      {"shallower wins, coming first",
       Node(10, {},
            {Node(10, {}, {Node(42, u"shallow.example")}),
             Node(10, {}, {Node(10, {}, {Node(10, {}, {Node(42, u"deep.example")})})})}),
       u"shallow.example"},
      {"full tie keeps the earlier", Node(10, {}, {Node(42, u"a.example"), Node(42, u"b.example")}),
       u"a.example"},
      {"tab and tab list are pruned with their subtrees",
       Node(10, {},
            {Focused(Node(37, u"tab.example")),
             Node(60, {}, {Focused(Node(46, u"under-tablist.example"))}),
             Node(1, u"plain.example")}),
       u"plain.example"},
      {"document children are not walked",
       Node(10, {}, {Node(15, u"Title", {Focused(Node(46, u"inner.example"))})}), u""},
      {"no URL-like text", Node(10, u"Browser", {Node(42, u"hello world")}), u""},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(c.tree), c.expected) << c.what;
}

TEST(MsaaWalk, RecordsCandidatesInPreOrderValueBeforeName) {
  RecordedAcc combo = Node(46, u"name.example");
  combo.value = u"value.example";
  combo.state = 0x4;
  RecordedAcc tree = Node(10, u"root.example", {combo, Node(std::nullopt, u"x:y")});
  const auto candidates = Walk(tree);
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(candidates[0].value, u"root.example");
  EXPECT_EQ(candidates[1].value, u"value.example");
  EXPECT_EQ(candidates[2].value, u"name.example");
  EXPECT_EQ(candidates[3].value, u"x:y");
  EXPECT_EQ(candidates[1].score, 100);
  EXPECT_EQ(candidates[1].depth, 1);
  EXPECT_EQ(candidates[1].role, 46);
  EXPECT_TRUE(candidates[1].focused);
  EXPECT_EQ(candidates[3].role, -1);
  EXPECT_EQ(candidates[3].score, 1);
  EXPECT_FALSE(candidates[3].focused);
  EXPECT_EQ(Find(tree), u"value.example");
}

TEST(MsaaWalk, ExaminesDepthSixButNotSeven) {
  RecordedAcc chain = Node(10, u"depth7.example");
  for (int depth = 6; depth >= 0; --depth) {
    std::u16string name = depth == 6 ? u"depth6.example" : u"";
    chain = Node(10, name, {chain});
  }
  const auto candidates = Walk(chain);
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].value, u"depth6.example");
  EXPECT_EQ(candidates[0].depth, 6);
}

TEST(MsaaWalk, SkipsUnreadableSubtreesAndGoesOn) {
  RecordedAcc no_count = Node(10, {}, {Node(42, u"hidden1.example")});
  no_count.child_count_fails = true;
  RecordedAcc no_children = Node(10, {}, {Node(42, u"hidden2.example")});
  no_children.children_fail = true;
  const auto candidates = Walk(Node(10, {}, {no_count, no_children, Node(42, u"seen.example")}));
  ASSERT_EQ(candidates.size(), 1u);
  EXPECT_EQ(candidates[0].value, u"seen.example");
}

TEST(MsaaFindUrl, TracesTwelveCandidatesButChoosesAmongAll) {
  std::vector<RecordedAcc> children;
  for (int i = 0; i < 14; ++i)
    children.push_back(Node(42, u"c" + std::u16string(1, u'a' + i) + u".x"));
  children.push_back(Focused(Node(1, u"last.example")));
  RecordedTrace().clear();
  EXPECT_EQ(Find(Node(10, {}, children)), u"last.example");
  const auto& lines = RecordedTrace();
  ASSERT_EQ(lines.size(), 1u + 12u + 1u);
  EXPECT_EQ(lines[0], "  msaa walk found 15 candidates in 7ms");
  EXPECT_EQ(lines[1], "    candidate[0] score=50 depth=1 role=42 focused=0 value=\"ca.x\"");
  EXPECT_EQ(lines[12].rfind("    candidate[11] ", 0), 0u);
  EXPECT_EQ(lines[13], "    picked[14] score=1 depth=1 focused=1 value=\"last.example\"");
}

TEST(MsaaFindUrl, TracesEmptyAndFailedWalks) {
  RecordedTrace().clear();
  EXPECT_EQ(Find(Node(10, u"Browser")), u"");
  EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"  msaa walk found 0 candidates in 7ms"});

  RecordedWindow window;
  window.acc_hr = static_cast<int32_t>(0x80004002u);
  RecordedPlatform platform(window);
  RecordedTrace().clear();
  EXPECT_EQ(msaa_find_url(platform, reinterpret_cast<WindowHandle>(1), RecordTrace), u"");
  EXPECT_EQ(RecordedTrace(),
            std::vector<std::string>{"  msaa AccessibleObjectFromWindow failed hr=0x80004002"});
}

}  // namespace
}  // namespace orvane::url_probe::testing
