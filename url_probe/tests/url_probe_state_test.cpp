#include "url_probe/url_probe_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "testing/allocation/failing_allocation.h"
#include "url_probe/export_calls.h"

namespace orvane::url_probe {
namespace {

WindowHandle W(uintptr_t n) { return reinterpret_cast<WindowHandle>(n); }

// How a probe ends besides with its URL.
enum class Outcome { kUrl, kEmpty, kProbeThrows, kStoreFails };

std::u16string UrlOf(WindowHandle hwnd) {
  const std::string n = std::to_string(reinterpret_cast<uintptr_t>(hwnd));
  return u"w" + std::u16string(n.begin(), n.end()) + u".example";
}

// A state whose every probe records its window and waits until the test releases it, so the
// test decides exactly when the worker moves on. The worker never stops, so a rig is never
// destroyed: each is kept reachable for the leak checker.
struct Rig : UrlWorkerPort {
  static Rig& Make(int failing_starts = 0) {
    static auto* kept = new std::vector<Rig*>;
    return *kept->emplace_back(new Rig(failing_starts));
  }
  explicit Rig(int failing_starts)
      : failures(failing_starts), state(*this, [this](std::function<void()> body) {
          if (failures-- > 0)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
          ++starts;
          launch_detached_thread(std::move(body));
        }) {}

  void PrepareThread() override {}
  std::u16string Probe(WindowHandle hwnd) override {
    std::unique_lock<std::mutex> guard(lock);
    probed.push_back(hwnd);
    const size_t mine = probed.size();
    changed.notify_all();
    changed.wait(guard, [&] { return released >= mine; });
    const Outcome outcome = outcomes.count(hwnd) ? outcomes[hwnd] : Outcome::kUrl;
    if (outcome == Outcome::kProbeThrows) throw std::bad_alloc();
    std::u16string url = outcome == Outcome::kEmpty ? u"" : UrlOf(hwnd);
    // Out of memory once the worker stores the answer: the one allocation there is the entry.
    if (outcome == Outcome::kStoreFails) testing::FailNextAllocation();
    return url;
  }
  // Waits until `count` probes have started; gives the windows probed so far.
  std::vector<WindowHandle> WaitForProbes(size_t count) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return probed.size() >= count; });
    return probed;
  }
  void Release(size_t count = 1) {
    std::lock_guard<std::mutex> guard(lock);
    released += count;
    changed.notify_all();
  }
  // Probes `windows` in turn; afterwards every earlier probe is stored and the worker is held in
  // the probe of the last one.
  void ProbeInTurn(const std::vector<WindowHandle>& windows) {
    for (WindowHandle hwnd : windows) {
      state.Request(hwnd);
      if (done > 0) Release();
      WaitForProbes(++done);
    }
  }

  std::atomic<int> failures, starts{0};
  UrlProbeState state;
  std::mutex lock;
  std::condition_variable changed;
  std::vector<WindowHandle> probed;
  size_t released = 0, done = 0;
  std::map<WindowHandle, Outcome> outcomes;  // changed only while the worker is held
};

TEST(UrlProbeState, BurstWhileBusyProbesOnlyTheLastRequest) {
  Rig& rig = Rig::Make();
  rig.state.Request(W(4));
  rig.WaitForProbes(1);
  for (uintptr_t n : {1, 2, 3}) rig.state.Request(W(n));
  rig.Release();
  rig.WaitForProbes(2);
  rig.Release();
  rig.state.Request(W(99));
  EXPECT_EQ(rig.WaitForProbes(3), (std::vector<WindowHandle>{W(4), W(3), W(99)}));
  // Stored, a request is done. The worker decides what to probe next while it still holds the
  // lock it stored under, so once the URL shows, the window probed next is the one asked for next.
  rig.Release();
  while (rig.state.CachedUrl(W(99)).empty()) std::this_thread::yield();
  rig.state.Request(W(100));
  EXPECT_EQ(rig.WaitForProbes(4).back(), W(100));
  rig.Release();
}

TEST(UrlProbeState, CacheKeepsThirtyThreeAndEmptiesOnTheNextStore) {
  for (uintptr_t next : {34, 5}) {  // a new window, and one already cached
    Rig& rig = Rig::Make();
    std::vector<WindowHandle> windows;
    for (uintptr_t n = 1; n <= 33; ++n) windows.push_back(W(n));
    rig.ProbeInTurn(windows);
    // A reader that never waits for the worker while it stores and then empties the cache: its
    // reads must go through the lock (ThreadSanitizer checks).
    std::thread reader([&] {
      for (int i = 0; i < 3300; ++i) {
        const std::u16string url = rig.state.CachedUrl(windows[i % 33]);
        EXPECT_TRUE(url.empty() || url == UrlOf(windows[i % 33]));
      }
    });
    rig.ProbeInTurn({W(next)});
    for (WindowHandle hwnd : windows) EXPECT_EQ(rig.state.CachedUrl(hwnd), UrlOf(hwnd));
    rig.ProbeInTurn({W(99)});
    reader.join();
    for (WindowHandle hwnd : windows)
      EXPECT_EQ(rig.state.CachedUrl(hwnd), hwnd == W(next) ? UrlOf(hwnd) : u"") << next;
    EXPECT_EQ(rig.state.CachedUrl(W(next)), UrlOf(W(next)));
    rig.Release();
  }
}

// An empty answer or a throwing probe replaces an earlier URL with nothing; a store that runs out
// of memory leaves the cache as it was. Either way the worker goes on to the next request.
TEST(UrlProbeState, EmptyOrFailedProbesAndStoresLeaveTheWorkerServing) {
  const std::pair<Outcome, WindowHandle> cases[] = {
      {Outcome::kEmpty, W(7)}, {Outcome::kProbeThrows, W(7)}, {Outcome::kStoreFails, W(10)}};
  for (const auto& [outcome, hwnd] : cases) {
    // ThreadSanitizer's allocator cannot be made to fail.
    if (outcome == Outcome::kStoreFails && !testing::AllocationsCanFail()) continue;
    const int failed_before = testing::FailedAllocations();
    Rig& rig = Rig::Make();
    rig.ProbeInTurn({W(7), W(8)});
    rig.outcomes[hwnd] = outcome;
    rig.ProbeInTurn({hwnd, W(9)});
    EXPECT_EQ(rig.state.CachedUrl(hwnd), u"");
    EXPECT_EQ(rig.state.CachedUrl(W(8)), UrlOf(W(8)));
    if (outcome == Outcome::kStoreFails) {
      EXPECT_EQ(testing::FailedAllocations(), failed_before + 1);
      EXPECT_EQ(rig.state.CachedUrl(W(7)), UrlOf(W(7)));
    }
    rig.Release();
  }
}

TEST(UrlProbeState, StartsOneWorkerForManyRequestsRetryingAFailedStart) {
  Rig& rig = Rig::Make(/*failing_starts=*/1);
  rig.state.Request(nullptr);  // ignored: it neither starts a worker nor uses up the failure
  rig.state.Request(W(1));
  EXPECT_EQ(rig.starts, 0);
  std::vector<std::thread> callers;
  for (uintptr_t t = 1; t <= 4; ++t) {
    callers.emplace_back([&rig, t] {
      for (uintptr_t i = 0; i < 50; ++i) rig.state.Request(W(t * 100 + i));
    });
  }
  for (auto& caller : callers) caller.join();
  ASSERT_EQ(rig.starts, 1);
  rig.WaitForProbes(1);
  rig.Release(1000);
}

// The argument rule itself is checked with the synchronous call (search_test.cpp).
TEST(UrlProbeState, ExportsRefuseBadArgumentsBeforeTouchingTheState) {
  const StateAccessor untouchable = []() -> UrlProbeState& {
    ADD_FAILURE() << "the state was asked for";
    return Rig::Make().state;
  };
  request_url_for_hwnd(untouchable, nullptr);
  char16_t unit = u'#';
  EXPECT_EQ(get_cached_url(untouchable, W(1), &unit, 1), 0);
  EXPECT_EQ(unit, u'#');
}

}  // namespace
}  // namespace orvane::url_probe
