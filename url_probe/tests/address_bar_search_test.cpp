#include "url_probe/address_bar_search.h"
#include "url_probe/url_probe_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "url_probe/tests/recorded_platform.h"
#include "url_probe/tests/trace_recorder.h"

namespace orvane::url_probe::testing {
namespace {

WindowHandle Window() { return reinterpret_cast<WindowHandle>(uintptr_t{0x1234}); }

std::optional<RecordedEdit> Edit(PortText id, PortText name, PortText value) {
  return RecordedEdit{std::move(id), std::move(name), true, std::move(value)};
}

RecordedAcc TreeWithUrl() {
  RecordedAcc root;
  root.role = 10;
  RecordedAcc text;
  text.role = 42;
  text.value = u"tree.example";
  root.children.push_back(text);
  return root;
}

RecordedWindow WithEdits(std::vector<std::optional<RecordedEdit>> edits) {
  RecordedWindow window;
  window.edits = std::move(edits);
  window.acc = TreeWithUrl();
  return window;
}

struct SearchCase {
  const char* what;
  RecordedWindow window;
  std::u16string expected;
  bool walks;
};

std::vector<SearchCase> Cases() {
  std::vector<SearchCase> cases = {
      {"definite wins over an earlier fallback",
       WithEdits(
           {Edit(u"", u"Search", u"site.example"), Edit(u"urlbar-input", u"", u"news.example")}),
       u"news.example", false},
      {"definite value is taken even when not URL-like",
       WithEdits({Edit(u"", u"Address and search bar", u"hello world")}), u"hello world", false},
      {"empty definite is passed over for a later definite",
       WithEdits({Edit(u"urlbar-input", u"", u""), Edit(u"", u"Search", u"a.example"),
                  Edit(u"", u"Address", u"b.example")}),
       u"b.example", false},
      {"empty definite is passed over for the fallback",
       WithEdits({Edit(u"urlbar-input", u"", std::nullopt), Edit(u"", u"Search", u"a.example")}),
       u"a.example", false},
      {"first URL-like value stays the fallback",
       WithEdits({Edit(u"", u"", u"a.example"), Edit(u"", u"", u"b.example")}), u"a.example",
       false},
      {"first definite with a value ends the loop",
       WithEdits(
           {Edit(u"urlbar-input", u"", u"x.example"), Edit(u"urlbar-input", u"", u"y.example")}),
       u"x.example", false},
      {"definite without a Value pattern and an unreadable element are skipped",
       WithEdits({RecordedEdit{u"urlbar-input", u"", false, u"x.example"}, std::nullopt,
                  Edit(std::nullopt, std::nullopt, u"c.example")}),
       u"c.example", false},
      {"no Edit controls: the walk decides", WithEdits({}), u"tree.example", true},
      {"only empty or non-URL values: the walk decides",
       WithEdits({Edit(u"", u"Search", u"hello world"), Edit(u"", u"", u"")}), u"tree.example",
       true},
  };
  SearchCase fails[] = {
      {"automation cannot be created", WithEdits({}), u"", false},
      {"no root element", WithEdits({}), u"", false},
      {"no condition", WithEdits({}), u"", false},
      {"FindAll fails", WithEdits({}), u"", false},
  };
  fails[0].window.has_automation = false;
  fails[1].window.has_root = false;
  fails[2].window.has_condition = false;
  fails[3].window.find_all_succeeds = false;
  for (auto& c : fails) cases.push_back(c);
  return cases;
}

TEST(AddressBarSearch, ChoosesByTheRulesAndWalksOnlyWhenNoEditServes) {
  for (const auto& c : Cases()) {
    for (const ProbeForm form : {ProbeForm::kUntraced, ProbeForm::kTraced}) {
      RecordedPlatform platform(c.window);
      EXPECT_EQ(probe_url_for_window(platform, Window(), form, RecordTrace), c.expected) << c.what;
      EXPECT_EQ(platform.msaa_calls, c.walks ? 1 : 0) << c.what;
      EXPECT_EQ(platform.uninit_calls, 1) << c.what;
      EXPECT_EQ(platform.live_objects_at_uninit, 0) << c.what;
    }
  }
}

TEST(AddressBarSearch, BalancesComOnlyWhenItsOwnInitialisationCounts) {
  const struct {
    int32_t hr;
    int uninit_calls;
  } cases[] = {
      {0, 1},                                  // S_OK
      {1, 1},                                  // S_FALSE: already a single-threaded apartment
      {static_cast<int32_t>(0x80010106u), 0},  // RPC_E_CHANGED_MODE: a multithreaded apartment
      {static_cast<int32_t>(0x8007000Eu), 0},
      {2, 0},
  };
  for (const auto& c : cases) {
    RecordedWindow window = WithEdits({Edit(u"", u"", u"a.example")});
    window.com_init_hr = c.hr;
    RecordedPlatform platform(window);
    EXPECT_EQ(probe_url_for_window(platform, Window(), ProbeForm::kUntraced), u"a.example");
    EXPECT_EQ(platform.uninit_calls, c.uninit_calls) << c.hr;
  }
}

TEST(PlatformWorkerPort, JoinsTheThreadOnceAndProbesWithBalancedCom) {
  RecordedPlatform platform(WithEdits({Edit(u"", u"", u"a.example")}));
  PlatformWorkerPort port(platform);
  port.PrepareThread();
  EXPECT_EQ(platform.init_calls, 1);
  EXPECT_EQ(port.Probe(Window()), u"a.example");
  EXPECT_EQ(platform.init_calls, 2);
  EXPECT_EQ(platform.uninit_calls, 1);
}

TEST(AddressBarSearch, NullHandleTouchesNothing) {
  RecordedPlatform platform(WithEdits({Edit(u"", u"", u"a.example")}));
  RecordedTrace().clear();
  EXPECT_EQ(probe_url_for_window(platform, nullptr, ProbeForm::kTraced, RecordTrace), u"");
  EXPECT_EQ(platform.init_calls, 0);
  EXPECT_TRUE(RecordedTrace().empty());
}

TEST(AddressBarSearch, TracedFormReportsEachStep) {
  RecordedWindow window =
      WithEdits({RecordedEdit{u"x", u"Tabs", false, std::nullopt}, Edit(u"", u"Search", u"a b"),
                 Edit(u"urlbar-input", u"", u"news.example")});
  window.root_name = u"Page - Browser";
  window.root_class_name = std::nullopt;
  RecordedPlatform platform(window);
  RecordedTrace().clear();
  probe_url_for_window(platform, Window(), ProbeForm::kTraced, RecordTrace);
  const std::vector<std::string> expected = {
      RecordedTrace().at(0),  // the handle's text depends on the platform
      "  CoInitializeEx hr=0x00000000 need_uninit=1",
      "  root.Name=\"Page - Browser\"",
      "  found 3 Edit controls",
      "  edit[0] id=\"x\" name=\"Tabs\" (no ValuePattern)",
      "  edit[1] id=\"\" name=\"Search\" value=\"a b\" definite=0 urlish=0",
      "  edit[2] id=\"urlbar-input\" name=\"\" value=\"news.example\" definite=1 urlish=1",
      "  final url=\"news.example\"",
  };
  EXPECT_EQ(RecordedTrace(), expected);
  EXPECT_EQ(RecordedTrace().at(0).rfind("--- ov_get_url_for_hwnd hwnd=", 0), 0u);
}

TEST(AddressBarSearch, TracedFormReportsFailuresAndTheWalk) {
  RecordedWindow no_automation;
  no_automation.has_automation = false;
  no_automation.automation_hr = static_cast<int32_t>(0x80040154u);
  no_automation.com_init_hr = 1;
  RecordedTrace().clear();
  RecordedPlatform first(no_automation);
  probe_url_for_window(first, Window(), ProbeForm::kTraced, RecordTrace);
  EXPECT_EQ(RecordedTrace().at(1), "  CoInitializeEx hr=0x00000001 need_uninit=1");
  EXPECT_EQ(RecordedTrace().at(2), "  CoCreateInstance(CUIAutomation) failed hr=0x80040154");
  EXPECT_EQ(RecordedTrace().size(), 3u);

  RecordedWindow closed;
  closed.has_root = false;
  closed.root_hr = static_cast<int32_t>(0x80070578u);
  RecordedTrace().clear();
  RecordedPlatform second(closed);
  probe_url_for_window(second, Window(), ProbeForm::kTraced, RecordTrace);
  EXPECT_EQ(RecordedTrace().back(), "  ElementFromHandle failed hr=0x80070578");

  RecordedTrace().clear();
  RecordedPlatform third(WithEdits({}));
  probe_url_for_window(third, Window(), ProbeForm::kTraced, RecordTrace);
  const std::vector<std::string> tail(RecordedTrace().end() - 3, RecordedTrace().end());
  EXPECT_EQ(tail[0], "    picked[0] score=50 depth=1 focused=0 value=\"tree.example\"");
  EXPECT_EQ(tail[1], "  msaa fallback url=\"tree.example\"");
  EXPECT_EQ(tail[2], "  final url=\"tree.example\"");
}

TEST(AddressBarSearch, UntracedFormLeavesOnlyTheWalkLines) {
  RecordedPlatform platform(WithEdits({Edit(u"", u"", u"")}));
  RecordedTrace().clear();
  EXPECT_EQ(probe_url_for_window(platform, Window(), ProbeForm::kUntraced, RecordTrace),
            u"tree.example");
  ASSERT_FALSE(RecordedTrace().empty());
  for (const auto& line : RecordedTrace())
    EXPECT_EQ(line.rfind("  msaa", 0) == 0 || line.rfind("    ", 0) == 0, true) << line;
}

}  // namespace
}  // namespace orvane::url_probe::testing
