// The probe's Windows adapters and exported functions against real windows under Wine: trees of
// the test's own through Active Accessibility, and recorded Edit controls through a UI Automation
// stand-in registered as CUIAutomation.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "testing/acc_window/acc_window.h"
#include "url_probe/address_bar_search.h"
#include "url_probe/msaa_walk.h"
#include "url_probe/tests/windows/uia_server_fixture.h"
#include "url_probe/windows/windows_platform.h"

namespace orvane::url_probe::testing {
namespace {

using orvane::testing::AccNodeSpec;
using orvane::testing::AccWindow;

AccNodeSpec Node(LONG role, std::optional<std::wstring> name = std::nullopt,
                 std::vector<AccNodeSpec> children = {}) {
  AccNodeSpec node;
  node.role = role;
  node.name = std::move(name);
  node.children = std::move(children);
  return node;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// COM as the thread found it: 0 none, else the apartment type plus one.
int ApartmentOfThisThread() {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  if (CoGetApartmentType(&type, &qualifier) != S_OK) return 0;
  return static_cast<int>(type) + 1;
}

// Runs `body` on a new thread, where COM starts uninitialised.
template <typename Body>
auto OnNewThread(Body body) {
  decltype(body()) result{};
  std::thread([&] { result = body(); }).join();
  return result;
}

std::wstring WalkOnNewThread(HWND hwnd) {
  return OnNewThread([hwnd] {
    windows::WindowsProbePlatform platform;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring url = Wide(msaa_find_url(platform, hwnd, probe_trace));
    CoUninitialize();
    return url;
  });
}

AccNodeSpec BrowserTree() {
  AccNodeSpec address = Node(46);
  address.value = L"https://site.example/page";
  AccNodeSpec document = Node(15, L"doc.example", {Node(30, L"inner.example")});
  document.state = 0x4;  // focused, but its children must stay unseen
  return Node(10, L"Browser",
              {Node(37, L"tab.example"), Node(60, {}, {Node(46, L"tablist.example")}),
               Node(9, {}, {address}), document});
}

TEST(MsaaAdapter, WalksARealTreeThroughEnumeratorOrChildCalls) {
  for (const bool serves_enum : {true, false}) {
    AccNodeSpec tree = BrowserTree();
    tree.serves_enum = serves_enum;
    tree.children[2].serves_enum = serves_enum;
    tree.children[3].state = 0;
    AccWindow window(tree);
    EXPECT_EQ(WalkOnNewThread(window.hwnd()), L"https://site.example/page") << serves_enum;
    EXPECT_EQ(window.live_objects(), 0);
  }
  AccWindow focused_document(BrowserTree());
  EXPECT_EQ(WalkOnNewThread(focused_document.hwnd()), L"doc.example");
}

TEST(MsaaAdapter, FailingCallsGiveEmptyOrPartialAnswers) {
  const auto with = [](auto change) {
    AccNodeSpec url_node = Node(42);
    url_node.value = L"value.example";
    url_node.name = L"name.example";
    AccNodeSpec tree = Node(10, {}, {Node(9, {}, {url_node})});
    change(tree, tree.children[0], tree.children[0].children[0]);
    return tree;
  };
  const struct {
    const char* what;
    AccNodeSpec tree;
    std::wstring expected;
  } cases[] = {
      {"role fails", with([](auto&, auto&, auto& n) { n.role_fails = true; }), L"value.example"},
      {"state fails", with([](auto&, auto&, auto& n) { n.state_fails = true; }), L"value.example"},
      {"value fails", with([](auto&, auto&, auto& n) { n.value_fails = true; }), L"name.example"},
      {"value and name fail",
       with([](auto&, auto&, auto& n) { n.value_fails = n.name_fails = true; }), L""},
      {"child count fails", with([](auto&, auto& p, auto&) { p.child_count_fails = true; }), L""},
      {"children fail", with([](auto&, auto& p, auto&) { p.children_fail = true; }), L""},
      {"root role fails", with([](auto& r, auto&, auto&) { r.role_fails = true; }),
       L"value.example"},
  };
  for (const auto& c : cases) {
    AccWindow window(c.tree);
    EXPECT_EQ(WalkOnNewThread(window.hwnd()), c.expected) << c.what;
    EXPECT_EQ(window.live_objects(), 0) << c.what;
  }
}

TEST(MsaaAdapter, WindowsWithoutATreeOrGoneGiveNothing) {
  AccWindow plain(std::nullopt);
  EXPECT_EQ(WalkOnNewThread(plain.hwnd()), L"");
  AccWindow closed(BrowserTree());
  closed.Destroy();
  EXPECT_EQ(WalkOnNewThread(closed.hwnd()), L"");
}

TEST(MsaaAdapter, WindowDestroyedDuringTheWalk) {
  AccNodeSpec tree = BrowserTree();
  tree.children[2].name_destroys_window = true;
  AccWindow window(tree);
  WalkOnNewThread(window.hwnd());  // whatever it finds, it returns
  EXPECT_FALSE(IsWindow(window.hwnd()));
  EXPECT_EQ(window.live_objects(), 0);
}

// UI Automation through the stand-in.

class UiaProbe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new UiaServer; }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(server_->loaded()); }

  // Probes on a new thread in `apartment` (0: COM left uninitialised before the probe) and checks
  // that the thread's COM state afterwards is what it was before.
  std::wstring Probe(const UiaServerScenario& scenario, HWND hwnd, ProbeForm form,
                     DWORD apartment = 0, bool preinit = false) {
    server_->SetScenario(scenario);
    const std::wstring url = OnNewThread([&] {
      if (preinit) CoInitializeEx(nullptr, apartment);
      const int before = ApartmentOfThisThread();
      windows::WindowsProbePlatform platform;
      std::wstring found = Wide(probe_url_for_window(platform, hwnd, form));
      EXPECT_EQ(ApartmentOfThisThread(), before);
      if (preinit) {
        CoUninitialize();
        EXPECT_EQ(ApartmentOfThisThread(), 0);
      }
      return found;
    });
    const UiaServerCounts counts = server_->Counts();
    EXPECT_EQ(counts.live, 0);
    EXPECT_EQ(counts.over_released, 0);
    EXPECT_EQ(counts.released_outside_com, 0);
    EXPECT_EQ(counts.unexpected_arguments, 0);
    return url;
  }

  static UiaServer* server_;
};

UiaServer* UiaProbe::server_ = nullptr;

const UiaServerEdit kBrowserEdits[] = {
    {L"search", L"Search", TRUE, L"site.example", FALSE},
    {L"tabs", L"Tabs", FALSE, nullptr, FALSE},
    {nullptr, nullptr, TRUE, nullptr, TRUE},
    {L"urlbar-input", nullptr, TRUE, L"news.example", FALSE},
    {L"late", L"Address", TRUE, L"late.example", FALSE},
};

UiaServerScenario Browser() {
  UiaServerScenario scenario = {};
  scenario.root_name = L"News - Browser";
  scenario.root_class_name = L"BrowserWindow";
  scenario.edit_count = 5;
  scenario.edits = kBrowserEdits;
  return scenario;
}

AccNodeSpec TreeWithUrl() { return Node(10, {}, {Node(42, L"tree.example")}); }

TEST_F(UiaProbe, StandInIsRegisteredAsCUIAutomation) {
  server_->SetScenario(Browser());
  const HRESULT hr = OnNewThread([] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    windows::WindowsProbePlatform platform;
    const int32_t result = platform.CreateAutomation().hr;
    CoUninitialize();
    return result;
  });
  EXPECT_EQ(hr, S_OK) << std::hex << hr;
}

TEST_F(UiaProbe, DefiniteAddressBarWinsInBothForms) {
  AccWindow window(TreeWithUrl());
  EXPECT_EQ(Probe(Browser(), window.hwnd(), ProbeForm::kUntraced), L"news.example");
  EXPECT_EQ(Probe(Browser(), window.hwnd(), ProbeForm::kTraced), L"news.example");
}

TEST_F(UiaProbe, NoUsableEditFallsBackToTheTree) {
  const UiaServerEdit edits[] = {{L"a", L"Search", TRUE, L"hello world", FALSE},
                                 {L"urlbar-input", nullptr, TRUE, L"", FALSE}};
  UiaServerScenario scenario = Browser();
  scenario.edits = edits;
  scenario.edit_count = 2;
  AccWindow window(TreeWithUrl());
  EXPECT_EQ(Probe(scenario, window.hwnd(), ProbeForm::kTraced), L"tree.example");
  scenario.edit_count = 0;
  EXPECT_EQ(Probe(scenario, window.hwnd(), ProbeForm::kUntraced), L"tree.example");
}

TEST_F(UiaProbe, FailuresBeforeTheEditsEndWithoutAWalk) {
  AccWindow window(TreeWithUrl());
  UiaServerScenario no_condition = Browser();
  no_condition.condition_hr = E_FAIL;
  EXPECT_EQ(Probe(no_condition, window.hwnd(), ProbeForm::kTraced), L"");
  UiaServerScenario no_find = Browser();
  no_find.find_all_hr = E_OUTOFMEMORY;
  EXPECT_EQ(Probe(no_find, window.hwnd(), ProbeForm::kUntraced), L"");
  AccWindow closed(TreeWithUrl());
  const HWND gone = closed.hwnd();
  closed.Destroy();
  EXPECT_EQ(Probe(Browser(), gone, ProbeForm::kTraced), L"");
}

TEST_F(UiaProbe, LeavesTheCallersApartmentAsItWas) {
  AccWindow window(TreeWithUrl());
  EXPECT_EQ(Probe(Browser(), window.hwnd(), ProbeForm::kTraced, COINIT_MULTITHREADED, true),
            L"news.example");
  EXPECT_EQ(Probe(Browser(), window.hwnd(), ProbeForm::kTraced, COINIT_APARTMENTTHREADED, true),
            L"news.example");
  // The walk from a multithreaded apartment reaches the window's tree too.
  UiaServerScenario no_edits = Browser();
  no_edits.edit_count = 0;
  EXPECT_EQ(Probe(no_edits, window.hwnd(), ProbeForm::kUntraced, COINIT_MULTITHREADED, true),
            L"tree.example");
}

// The exported functions, looked up by name in this program as the UI's code would.

using GetUrlFn = int32_t (*)(HWND, wchar_t*, int32_t);
using RequestFn = void (*)(HWND);

template <typename Fn>
Fn Export(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), name)));
}

TEST_F(UiaProbe, ExportsAnswerForRealWindows) {
  const auto get_url = Export<GetUrlFn>("ov_get_url_for_hwnd");
  const auto request = Export<RequestFn>("ov_request_url_for_hwnd");
  const auto cached = Export<GetUrlFn>("ov_get_cached_url");
  ASSERT_NE(get_url, nullptr);
  ASSERT_NE(request, nullptr);
  ASSERT_NE(cached, nullptr);

  const UiaServerEdit edits[] = {{L"urlbar-input", nullptr, TRUE, L"https://a.example/xy", FALSE}};
  UiaServerScenario scenario = Browser();
  scenario.edits = edits;
  scenario.edit_count = 1;
  server_->SetScenario(scenario);
  AccWindow window(TreeWithUrl());
  const HWND hwnd = window.hwnd();

  wchar_t buffer[32];
  EXPECT_EQ(get_url(hwnd, buffer, 32), 20);
  EXPECT_EQ(std::wstring(buffer), L"https://a.example/xy");
  EXPECT_EQ(get_url(hwnd, buffer, 10), 9);
  EXPECT_EQ(std::wstring(buffer), L"https://a");
  for (const int32_t capacity : {1, 0, -1}) {
    buffer[0] = L'#';
    EXPECT_EQ(get_url(hwnd, buffer, capacity), 0);
    EXPECT_EQ(cached(hwnd, buffer, capacity), 0);
    EXPECT_EQ(buffer[0], L'#');
  }
  EXPECT_EQ(get_url(hwnd, nullptr, 32), 0);
  EXPECT_EQ(get_url(nullptr, buffer, 32), 0);
  EXPECT_EQ(cached(hwnd, buffer, 32), 0);  // never requested
  EXPECT_EQ(buffer[0], L'\0');
  request(nullptr);

  // No completion signal exists: the result shows up in the cache once the worker is done.
  request(hwnd);
  int32_t length = 0;
  for (int i = 0; i < 2000 && length == 0; ++i) {
    length = cached(hwnd, buffer, 32);
    if (length == 0) Sleep(10);
  }
  EXPECT_EQ(length, 20);
  EXPECT_EQ(std::wstring(buffer), L"https://a.example/xy");

  AccWindow closed(TreeWithUrl());
  const HWND gone = closed.hwnd();
  closed.Destroy();
  buffer[0] = L'#';
  EXPECT_EQ(get_url(gone, buffer, 32), 0);
  EXPECT_EQ(buffer[0], L'\0');
  EXPECT_EQ(server_->Counts().live, 0);
}

}  // namespace
}  // namespace orvane::url_probe::testing
