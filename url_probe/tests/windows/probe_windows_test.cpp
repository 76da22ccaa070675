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
#include <tuple>
#include <utility>
#include <vector>

#include "testing/acc_window/acc_window.h"
#include "testing/uia_server/uia_server.h"
#include "url_probe/address_bar_search.h"
#include "url_probe/msaa_walk.h"
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

// COM as the thread has it: 0 none (or only the process's multithreaded apartment, which
// another thread keeps), else the apartment type plus one.
int Apartment() {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  if (CoGetApartmentType(&type, &qualifier) != S_OK) return 0;
  return qualifier == APTTYPEQUALIFIER_IMPLICIT_MTA ? 0 : static_cast<int>(type) + 1;
}

// Runs `body` on a new thread, where COM starts uninitialised; `apartment` 0 leaves it so.
std::wstring OnNewThread(DWORD apartment, std::u16string (*body)(HWND, ProbeForm),
                         const AccWindow& window, ProbeForm form = ProbeForm::kUntraced) {
  std::u16string url;
  std::thread([&] {
    if (apartment != 0) CoInitializeEx(nullptr, apartment);
    const int before = Apartment();
    url = body(window.hwnd(), form);
    EXPECT_EQ(Apartment(), before);  // the probe leaves COM as it found it
    // No reference left behind: counted before this thread's own uninitialisation would free the
    // leaks (the worker thread never uninitialises, so there they pile up).
    EXPECT_EQ(window.live_objects(), 0);
    if (apartment != 0) CoUninitialize();
    EXPECT_EQ(Apartment(), 0);  // with no initialisation of its own left over
  }).join();
  return std::wstring(url.begin(), url.end());
}

std::u16string Walk(HWND hwnd, ProbeForm) {
  windows::WindowsProbePlatform platform;
  return msaa_find_url(platform, hwnd, probe_trace);
}

std::u16string Search(HWND hwnd, ProbeForm form) {
  windows::WindowsProbePlatform platform;
  return probe_url_for_window(platform, hwnd, form);
}

// A link and, in a group, a text with a value and a name: the text wins unless a call fails.
TEST(MsaaAdapter, WalksARealTreeThroughEitherEnumerationAndSurvivesFailingCalls) {
  using Change = void (*)(AccNodeSpec & root, AccNodeSpec & group, AccNodeSpec & text);
  const std::pair<Change, const wchar_t*> cases[] = {
      {[](auto&, auto&, auto&) {}, L"value.x"},
      {[](auto& r, auto& g, auto&) { r.serves_enum = g.serves_enum = false; }, L"value.x"},
      {[](auto& r, auto&, auto&) { r.children[0].state = 0x4; }, L"link.x"},  // focused
      {[](auto&, auto&, auto& t) { t.role_fails = t.state_fails = true; }, L"link.x"},
      {[](auto&, auto&, auto& t) { t.value_fails = true; }, L"name.x"},
      {[](auto&, auto&, auto& t) { t.value_fails = t.name_fails = true; }, L"link.x"},
      {[](auto&, auto& g, auto&) { g.child_count_fails = true; }, L"link.x"},
      {[](auto&, auto& g, auto&) { g.children_fail = true; }, L"link.x"},
      {[](auto&, auto& g, auto&) { g.name_destroys_window = true; }, nullptr},  // whatever it finds
  };
  for (const auto& [change, expected] : cases) {
    AccNodeSpec text = Node(42, L"name.x");
    text.value = L"value.x";
    AccNodeSpec tree = Node(10, {}, {Node(30, L"link.x"), Node(9, {}, {text})});
    change(tree, tree.children[1], tree.children[1].children[0]);
    AccWindow window(tree);
    const std::wstring url = OnNewThread(COINIT_APARTMENTTHREADED, Walk, window);
    if (expected) {
      EXPECT_EQ(url, expected);
    }
  }
  AccWindow plain(std::nullopt);  // the system's own accessible object
  EXPECT_EQ(OnNewThread(COINIT_APARTMENTTHREADED, Walk, plain), L"");
}

// In the server's own apartment the walk calls the tree directly, so the enumerator's count
// reaches it as reported: more children than were filled in must not take it past the array.
TEST(MsaaAdapter, ClampsAChildCountBeyondTheEntriesFilled) {
  AccNodeSpec tree = Node(10, {}, {Node(42, L"only.x")});
  tree.over_reported = 1u << 28;
  AccWindow window(tree, COINIT_MULTITHREADED);
  EXPECT_EQ(OnNewThread(COINIT_MULTITHREADED, Walk, window), L"only.x");
}

// Loads the UI Automation stand-in, which lies beside this program, and registers it as
// CUIAutomation at run time so that a fresh prefix works. Wine 8's COM does not look at the
// user's classes (the class stays unregistered there), so it goes into the machine's.
class UiaProbe : public ::testing::Test {
 protected:
  static constexpr wchar_t kClassKey[] =
      L"Software\\Classes\\CLSID\\{ff48dba4-60ef-4201-aa87-54103eef594e}";

  static void SetUpTestSuite() {
    wchar_t path[MAX_PATH];
    std::wstring dll(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"uia_server.dll";
    const HMODULE module = LoadLibraryW(dll.c_str());
    const std::wstring server_key = std::wstring(kClassKey) + L"\\InprocServer32";
    for (const auto& [name, value] :
         {std::pair<const wchar_t*, std::wstring>{nullptr, dll}, {L"ThreadingModel", L"Both"}}) {
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, server_key.c_str(), name, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    if (module == nullptr) return;
    set_scenario_ = reinterpret_cast<UiaServerSetScenarioFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "uia_server_set_scenario")));
    counts_ = reinterpret_cast<UiaServerCountsFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "uia_server_counts")));
  }
  static void TearDownTestSuite() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey); }
  void SetUp() override { ASSERT_TRUE(set_scenario_ && counts_); }

  // No object left alive, none released twice or outside COM, every call as expected.
  static void ExpectCleanServer(const char* what) {
    UiaServerCounts c = {};
    counts_(&c);
    EXPECT_EQ(std::tie(c.live, c.over_released, c.released_outside_com, c.unexpected_arguments),
              std::make_tuple(0, 0, 0, 0))
        << what;
  }

  static inline UiaServerSetScenarioFn set_scenario_ = nullptr;
  static inline UiaServerCountsFn counts_ = nullptr;
};

const UiaServerEdit kEdits[] = {
    {L"search", L"Search", TRUE, L"site.example", FALSE},
    {L"tabs", L"Tabs", FALSE, nullptr, FALSE},
    {nullptr, nullptr, TRUE, nullptr, TRUE},
    {L"urlbar-input", nullptr, TRUE, L"https://a.example/xy", FALSE},
};
const UiaServerEdit kUnusableEdits[] = {{L"a", L"Search", TRUE, L"hello world", FALSE},
                                        {L"urlbar-input", nullptr, TRUE, L"", FALSE}};

TEST_F(UiaProbe, FindsTheAddressBarOrWalksLeavingTheApartmentAsItWas) {
  const UiaServerScenario browser = {L"News - Browser", L"BrowserWindow", S_OK, S_OK, 4, kEdits};
  UiaServerScenario unusable = browser, no_edits = browser, no_condition = browser,
                    no_find = browser;
  unusable.edits = kUnusableEdits;
  unusable.edit_count = 2;
  no_edits.edit_count = 0;
  no_condition.condition_hr = E_FAIL;
  no_find.find_all_hr = E_OUTOFMEMORY;
  AccWindow window(Node(10, {}, {Node(42, L"tree.example")}));
  AccWindow closed(Node(10));
  closed.Destroy();
  const struct {
    const char* what;
    const UiaServerScenario& scenario;
    const AccWindow& window;
    DWORD apartment;
    const wchar_t* expected;
  } cases[] = {
      {"definite", browser, window, 0, L"https://a.example/xy"},
      {"in a multithreaded apartment", browser, window, COINIT_MULTITHREADED,
       L"https://a.example/xy"},
      {"in a single-threaded apartment", browser, window, COINIT_APARTMENTTHREADED,
       L"https://a.example/xy"},
      {"no usable Edit", unusable, window, 0, L"tree.example"},
      {"walk in a multithreaded apartment", no_edits, window, COINIT_MULTITHREADED,
       L"tree.example"},
      {"no condition", no_condition, window, 0, L""},
      {"FindAll fails", no_find, window, 0, L""},
      {"closed window", browser, closed, 0, L""},
  };
  for (const auto& c : cases) {
    for (const ProbeForm form : {ProbeForm::kUntraced, ProbeForm::kTraced}) {
      set_scenario_(&c.scenario);
      EXPECT_EQ(OnNewThread(c.apartment, Search, c.window, form), c.expected) << c.what;
      ExpectCleanServer(c.what);
    }
  }
}

// The exported functions, looked up by name in this program as the UI's code would.
TEST_F(UiaProbe, ExportsAnswerForRealWindows) {
  using GetUrlFn = int32_t (*)(HWND, wchar_t*, int32_t);
  const HMODULE self = GetModuleHandleW(nullptr);
  const auto get_url = reinterpret_cast<GetUrlFn>(
      reinterpret_cast<void*>(GetProcAddress(self, "ov_get_url_for_hwnd")));
  const auto cached = reinterpret_cast<GetUrlFn>(
      reinterpret_cast<void*>(GetProcAddress(self, "ov_get_cached_url")));
  const auto request = reinterpret_cast<void (*)(HWND)>(
      reinterpret_cast<void*>(GetProcAddress(self, "ov_request_url_for_hwnd")));
  ASSERT_TRUE(get_url && cached && request);

  const UiaServerScenario scenario = {nullptr, nullptr, S_OK, S_OK, 4, kEdits};
  set_scenario_(&scenario);
  AccWindow window(Node(10));
  const HWND hwnd = window.hwnd();
  // The argument rule is the core's, checked natively (search_test.cpp).
  wchar_t buffer[32];
  EXPECT_EQ(get_url(hwnd, buffer, 32), 20);
  EXPECT_EQ(std::wstring(buffer), L"https://a.example/xy");
  EXPECT_EQ(cached(hwnd, buffer, 32), 0);  // never requested
  EXPECT_EQ(buffer[0], L'\0');

  // No completion signal exists: the result shows up in the cache once the worker is done.
  request(hwnd);
  int32_t length = 0;
  for (int i = 0; i < 2000 && (length = cached(hwnd, buffer, 32)) == 0; ++i) Sleep(10);
  EXPECT_EQ(length, 20);
  EXPECT_EQ(std::wstring(buffer), L"https://a.example/xy");

  window.Destroy();
  buffer[0] = L'#';
  EXPECT_EQ(get_url(hwnd, buffer, 32), 0);
  EXPECT_EQ(buffer[0], L'\0');
  ExpectCleanServer("exports");
}

}  // namespace
}  // namespace orvane::url_probe::testing
