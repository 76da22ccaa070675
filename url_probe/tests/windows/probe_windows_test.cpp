// The probe's Windows adapters and exported functions against real windows under Wine: trees of
// the test's own through Active Accessibility, and recorded Edit controls through a UI Automation
// stand-in registered as CUIAutomation.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>

#include "testing/acc_window/acc_window.h"
#include "testing/allocation/failing_allocation.h"
#include "testing/uia_server/uia_server_host.h"
#include "url_probe/address_bar_search.h"
#include "url_probe/msaa_walk.h"
#include "url_probe/windows/windows_platform.h"

namespace orvane::url_probe::testing {
namespace {

using namespace orvane::testing;

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

// A link and, in a group, a text with a value and a name: the text wins unless a change passes it
// over or focuses the link.
TEST(MsaaAdapter, WalksARealTreeSkippingWhatIsNoAccessibleObjectOrAnswersNothing) {
  using Change = void (*)(AccNodeSpec & root, AccNodeSpec & group, AccNodeSpec & text);
  const struct {
    Change change;
    const wchar_t* expected;
    DWORD apartment = COINIT_APARTMENTTHREADED;  // of the window's thread and of the caller
  } cases[] = {
      {[](auto&, auto&, auto&) {}, L"value.x"},
      {[](auto& r, auto&, auto&) { r.children[0].state = 0x4; }, L"link.x"},  // focused
      // Every question about the link fails, and so does the group's listing: nothing is left.
      {[](auto& r, auto& g, auto&) { r.children[0].calls_fail = g.next_fails = true; }, L""},
      {[](auto&, auto&, auto& t) { t.not_accessible = true; }, L"link.x"},
      {[](auto&, auto&, auto& t) { t.listed = AccListing::kChildId; }, L"link.x"},
      {[](auto&, auto&, auto& t) { t.listed = AccListing::kNullObject; }, L"link.x"},
      // Only 32-bit integers count: read as one, this link's state would make it win.
      {[](auto& r, auto&, auto&) { r.children[0].state = 0x4, r.children[0].integer_type = VT_I8; },
       L"value.x"},
      // The tree outlives its window, so the walk goes on.
      {[](auto&, auto& g, auto&) { g.name_destroys_window = true; }, L"value.x"},
      // In the server's own apartment the walk calls the tree directly, so the answers reach it as
      // given: more children than were filled in must not take it past the array, and a child that
      // hands back no interface with S_OK is passed over.
      {[](auto& r, auto& g, auto&) { r.over_reported = 1u << 28, g.null_accessible = true; },
       L"link.x", COINIT_MULTITHREADED},
  };
  for (const auto& c : cases) {
    AccNodeSpec text(42, L"name.x");
    text.value = L"value.x";
    AccNodeSpec tree(10, {}, {{30, L"link.x"}, {9, {}, {text}}});
    c.change(tree, tree.children[1], tree.children[1].children[0]);
    AccWindow window(tree, c.apartment);
    EXPECT_EQ(OnNewThread(c.apartment, Walk, window), c.expected);
  }
  AccWindow closed(AccNodeSpec(10, {}, {{42, L"name.x"}}));  // no accessible object at all
  closed.Destroy();
  EXPECT_EQ(OnNewThread(COINIT_APARTMENTTHREADED, Walk, closed), L"");
}

const UiaServerEdit kEdits[] = {
    {L"search", L"Search", TRUE, L"site.example", UIA_EDIT_SERVES},
    {L"tabs", L"Tabs", FALSE, nullptr, UIA_EDIT_SERVES},
    {nullptr, nullptr, TRUE, nullptr, UIA_EDIT_ELEMENT_FAILS},
    {L"urlbar-input", nullptr, TRUE, L"wrong.example", UIA_EDIT_PATTERN_FAILS},
    {L"urlbar-input", nullptr, TRUE, L"https://a.example/xy", UIA_EDIT_SERVES},
};
constexpr UiaServerScenario kBrowser = {L"News - Browser", L"BrowserWindow", 5, kEdits,
                                        UIA_NULL_NONE,     nullptr};

TEST(UiaProbe, FindsTheAddressBarOrWalksLeavingTheApartmentAsItWas) {
  UiaServerHost server;
  ASSERT_TRUE(server.registered());
  AccWindow window(AccNodeSpec(10, {}, {{42, L"tree.example"}}));
  // Each case: the browser with one answer changed, the caller's apartment (0: none) and the URL.
  const struct {
    const char* what;
    UiaServerNullAnswer null_answer;
    DWORD apartment;
    const wchar_t* expected;
    void (*reading_value)() = nullptr;
  } cases[] = {
      {"in the MTA", UIA_NULL_NONE, COINIT_MULTITHREADED, L"https://a.example/xy"},
      {"in an STA", UIA_NULL_NONE, COINIT_APARTMENTTHREADED, L"https://a.example/xy"},
      // A server that fails a call hands back no object; one that succeeds without an object
      // must end the search the same way.
      {"null automation", UIA_NULL_AUTOMATION, 0, L""},
      {"null root", UIA_NULL_ROOT, 0, L""},
      {"null condition", UIA_NULL_CONDITION, 0, L""},
      {"null array", UIA_NULL_FOUND, 0, L""},
      {"null elements", UIA_NULL_ELEMENT, 0, L"tree.example"},
      // As the first value is copied: nothing found, and all released on the way out.
      {"out of memory", UIA_NULL_NONE, 0, L"", &FailNextAllocation},
  };
  for (const auto& c : cases) {
    UiaServerScenario scenario = kBrowser;
    scenario.null_answer = c.null_answer;
    scenario.reading_value = c.reading_value;
    for (const ProbeForm form : {ProbeForm::kUntraced, ProbeForm::kTraced}) {
      server.Serve(scenario);
      EXPECT_EQ(OnNewThread(c.apartment, Search, window, form), c.expected) << c.what;
      EXPECT_EQ(server.Complaints(), "") << c.what;
    }
  }
}

// The exported functions, looked up by name in this program as the UI's code would.
TEST(UiaProbe, ExportsAnswerForRealWindows) {
  UiaServerHost server;
  ASSERT_TRUE(server.registered());
  using GetUrlFn = int32_t (*)(HWND, wchar_t*, int32_t);
  const HMODULE self = GetModuleHandleW(nullptr);
  const auto get_url = ExportOf<GetUrlFn>(self, "ov_get_url_for_hwnd");
  const auto cached = ExportOf<GetUrlFn>(self, "ov_get_cached_url");
  const auto request = ExportOf<void (*)(HWND)>(self, "ov_request_url_for_hwnd");
  ASSERT_TRUE(get_url && cached && request);

  server.Serve(kBrowser);
  AccWindow window(AccNodeSpec(10));
  const HWND hwnd = window.hwnd();
  // Out of memory in the first calls, which make the probe's shared objects (no other test calls
  // them): 0 and the buffer untouched, or emptied by the cache's call; the calls work afterwards.
  wchar_t buffer[32] = L"#";
  const int failed_before = FailedAllocations();
  FailNextAllocation();
  EXPECT_EQ(get_url(hwnd, buffer, 32), 0);
  EXPECT_EQ(buffer[0], L'#');
  FailAllocationAfter(1);  // the platform's, made for the worker
  EXPECT_EQ(cached(hwnd, buffer, 32), 0);
  EXPECT_EQ(buffer[0], L'\0');
  FailNextAllocation();
  request(hwnd);
  EXPECT_EQ(FailedAllocations(), failed_before + 3);

  // The argument rule is the core's, checked natively (search_test.cpp).
  EXPECT_EQ(get_url(hwnd, buffer, 32), 20);
  EXPECT_EQ(std::wstring(buffer), L"https://a.example/xy");

  // No completion signal exists: the result shows up in the cache once the worker is done.
  request(hwnd);
  int32_t length = 0;
  for (int i = 0; i < 2000 && (length = cached(hwnd, buffer, 32)) == 0; ++i) Sleep(10);
  EXPECT_EQ(std::wstring(buffer, length), L"https://a.example/xy");
  EXPECT_EQ(server.Complaints(), "");
}

}  // namespace
}  // namespace orvane::url_probe::testing
