#include "url_probe/address_bar_search.h"
#include "url_probe/url_probe_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "url_probe/tests/recorded_platform.h"

namespace orvane::url_probe::testing {
namespace {

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

// The lines of a traced probe after the first, whose handle text depends on the platform.
std::vector<std::string> TraceOf(const RecordedWindow& window) {
  RecordedPlatform platform(window);
  RecordedTrace().clear();
  probe_url_for_window(platform, kWindow, ProbeForm::kTraced, RecordTrace);
  EXPECT_EQ(RecordedTrace().at(0).rfind("--- ov_get_url_for_hwnd hwnd=", 0), 0u);
  return {RecordedTrace().begin() + 1, RecordedTrace().end()};
}

TEST(AddressBarSearch, ChoosesByTheRulesAndWalksOnlyWhenNoEditServes) {
  const RecordedEdit no_pattern{u"urlbar-input", {}, u"x.example", false};
  struct {
    const char* what;
    RecordedWindow window;
    std::u16string expected;
    bool walks;
  } cases[] = {
      {"definite wins over an earlier URL-like value",
       WithEdits({Edit(u"", u"Search", u"a.example"), Edit(u"urlbar-input", u"", u"b.example")}),
       u"b.example", false},
      {"definite value is taken even when not URL-like",
       WithEdits({Edit(u"", u"Address", u"hello world")}), u"hello world", false},
      {"empty definite is passed over",
       WithEdits({Edit(u"urlbar-input", u"", u""), Edit(u"", u"", u"a.example"),
                  Edit(u"", u"URL", u"b.example"), Edit(u"", u"URL", u"c.example")}),
       u"b.example", false},
      {"first URL-like value is kept",
       WithEdits({Edit(u"urlbar-input", u"", std::nullopt), no_pattern, std::nullopt,
                  Edit({}, {}, u"a.example"), Edit(u"", u"", u"b.example")}),
       u"a.example", false},
      {"no Edit control", WithEdits({}), u"tree.example", true},
      {"no usable Edit", WithEdits({Edit(u"", u"Search", u"a b"), Edit(u"", u"", u"")}),
       u"tree.example", true},
      {"no automation", WithEdits({}), u"", false},
      {"no root", WithEdits({}), u"", false},
      {"no condition", WithEdits({}), u"", false},
      {"FindAll fails", WithEdits({}), u"", false},
  };
  cases[6].window.has_automation = false;
  cases[7].window.has_root = false;
  cases[8].window.has_condition = false;
  cases[9].window.find_all_succeeds = false;
  for (const auto& c : cases) {
    for (const ProbeForm form : {ProbeForm::kUntraced, ProbeForm::kTraced}) {
      RecordedPlatform platform(c.window);
      EXPECT_EQ(probe_url_for_window(platform, kWindow, form, RecordTrace), c.expected) << c.what;
      EXPECT_EQ(platform.msaa_calls, c.walks ? 1 : 0) << c.what;
      EXPECT_EQ(platform.uninit_calls, 1) << c.what;
      EXPECT_EQ(platform.live_at_uninit, 0) << c.what;  // all released before uninit
    }
  }
}

TEST(AddressBarSearch, UninitialisesOnlyWhenItsOwnInitialisationCounts) {
  const struct {
    uint32_t hr;
    int uninit_calls;
  } cases[] = {{0, 1}, {1, 1}, {0x80010106u /* RPC_E_CHANGED_MODE */, 0}, {0x8007000Eu, 0}};
  for (const auto& c : cases) {
    RecordedWindow window = WithEdits({Edit(u"", u"", u"a.example")});
    window.com_init_hr = static_cast<int32_t>(c.hr);
    RecordedPlatform platform(window);
    EXPECT_EQ(probe_url_for_window(platform, kWindow, ProbeForm::kUntraced), u"a.example");
    EXPECT_EQ(platform.uninit_calls, c.uninit_calls) << c.hr;
  }
  RecordedPlatform platform(WithEdits({}));
  EXPECT_EQ(probe_url_for_window(platform, nullptr, ProbeForm::kTraced, RecordTrace), u"");
  EXPECT_EQ(platform.init_calls, 0);
}

TEST(AddressBarSearch, WorkerPortJoinsTheThreadAndProbesWithBalancedCom) {
  RecordedPlatform platform(WithEdits({Edit(u"", u"", u"a.example")}));
  PlatformWorkerPort port(platform);
  port.PrepareThread();
  EXPECT_EQ(port.Probe(kWindow), u"a.example");
  EXPECT_EQ(platform.init_calls, 2);
  EXPECT_EQ(platform.uninit_calls, 1);
}

TEST(AddressBarSearch, TracesEachStep) {
  RecordedWindow window =
      WithEdits({RecordedEdit{u"x", u"Tabs", {}, false}, Edit(u"", u"Search", u"a b"),
                 Edit(u"urlbar-input", u"", u"news.example")});
  window.root_name = u"Page - Browser";
  EXPECT_EQ(
      TraceOf(window),
      (std::vector<std::string>{
          "  CoInitializeEx hr=0x00000000 need_uninit=1",
          "  root.Name=\"Page - Browser\"",
          "  found 3 Edit controls",
          "  edit[0] id=\"x\" name=\"Tabs\" (no ValuePattern)",
          "  edit[1] id=\"\" name=\"Search\" value=\"a b\" definite=0 urlish=0",
          "  edit[2] id=\"urlbar-input\" name=\"\" value=\"news.example\" definite=1 urlish=1",
          "  final url=\"news.example\"",
      }));

  window = {};
  window.has_automation = false;
  window.automation_hr = static_cast<int32_t>(0x80040154u);
  window.com_init_hr = 1;
  EXPECT_EQ(TraceOf(window),
            (std::vector<std::string>{"  CoInitializeEx hr=0x00000001 need_uninit=1",
                                      "  CoCreateInstance(CUIAutomation) failed hr=0x80040154"}));
  window = {};
  window.has_root = false;
  window.root_hr = static_cast<int32_t>(0x80070578u);
  EXPECT_EQ(TraceOf(window).back(), "  ElementFromHandle failed hr=0x80070578");
  const auto walked = TraceOf(WithEdits({}));
  EXPECT_EQ(walked.at(walked.size() - 2), "  msaa fallback url=\"tree.example\"");
}

TEST(AddressBarSearch, UntracedFormLeavesOnlyTheWalkLines) {
  RecordedPlatform platform(WithEdits({}));
  RecordedTrace().clear();
  probe_url_for_window(platform, kWindow, ProbeForm::kUntraced, RecordTrace);
  ASSERT_FALSE(RecordedTrace().empty());
  for (const auto& line : RecordedTrace())
    EXPECT_TRUE(line.rfind("  msaa", 0) == 0 || line.rfind("    ", 0) == 0) << line;
}

}  // namespace
}  // namespace orvane::url_probe::testing
