#include "url_probe/url_probe_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "url_probe/export_calls.h"

namespace orvane::url_probe {
namespace {

WindowHandle W(uintptr_t n) { return reinterpret_cast<WindowHandle>(n); }

std::u16string UrlOf(WindowHandle hwnd) {
  const std::string n = std::to_string(reinterpret_cast<uintptr_t>(hwnd));
  return u"w" + std::u16string(n.begin(), n.end()) + u".example";
}

// Each probe records its window and waits until the test releases it, so the test decides
// exactly when the worker moves on.
class GatedProbe : public UrlWorkerPort {
 public:
  void PrepareThread() override {}
  std::u16string Probe(WindowHandle hwnd) override {
    std::unique_lock<std::mutex> guard(lock_);
    probed_.push_back(hwnd);
    const size_t mine = probed_.size();
    changed_.notify_all();
    changed_.wait(guard, [&] { return released_ >= mine; });
    return answers_.count(hwnd) ? answers_[hwnd] : UrlOf(hwnd);
  }
  void WaitForProbes(size_t count) {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return probed_.size() >= count; });
  }
  void Release(size_t count = 1) {
    std::lock_guard<std::mutex> guard(lock_);
    released_ += count;
    changed_.notify_all();
  }
  void Answer(WindowHandle hwnd, std::u16string url) {
    std::lock_guard<std::mutex> guard(lock_);
    answers_[hwnd] = std::move(url);
  }
  std::vector<WindowHandle> Probed() {
    std::lock_guard<std::mutex> guard(lock_);
    return probed_;
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<WindowHandle> probed_;
  size_t released_ = 0;
  std::map<WindowHandle, std::u16string> answers_;
};

// Workers never stop, so neither a state nor its port is ever destroyed: both are leaked on
// purpose and stay reachable for the leak checker.
struct Rig {
  explicit Rig(int failing_starts = 0) {
    static auto* kept = new std::vector<Rig*>;
    kept->push_back(this);
    auto* failures = new std::atomic<int>(failing_starts);
    std::atomic<int>* started = starts;
    state = new UrlProbeState(*probe, [started, failures](std::function<void()> body) {
      if (failures->fetch_sub(1) > 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
      ++*started;
      launch_detached_thread(std::move(body));
    });
  }
  // Probes `windows` in turn; afterwards every earlier probe is stored and the worker is held in
  // the probe of the last one.
  void ProbeInTurn(const std::vector<WindowHandle>& windows) {
    for (WindowHandle hwnd : windows) {
      state->Request(hwnd);
      if (done > 0) probe->Release();
      probe->WaitForProbes(++done);
    }
  }
  GatedProbe* probe = new GatedProbe;
  std::atomic<int>* starts = new std::atomic<int>(0);
  UrlProbeState* state = nullptr;
  size_t done = 0;
};

TEST(UrlProbeState, BurstWhileBusyProbesOnlyTheLastRequest) {
  Rig& rig = *new Rig;
  rig.state->Request(W(4));
  rig.probe->WaitForProbes(1);
  for (uintptr_t n : {1, 2, 3}) rig.state->Request(W(n));
  rig.probe->Release();
  rig.probe->WaitForProbes(2);
  rig.probe->Release();
  rig.state->Request(W(99));
  rig.probe->WaitForProbes(3);
  EXPECT_EQ(rig.probe->Probed(), (std::vector<WindowHandle>{W(4), W(3), W(99)}));
  EXPECT_EQ(rig.state->CachedUrl(W(3)), UrlOf(W(3)));
  EXPECT_EQ(rig.state->CachedUrl(W(1)), u"");
  EXPECT_EQ(rig.state->CachedUrl(W(2)), u"");
  rig.probe->Release();
}

TEST(UrlProbeState, CacheKeepsThirtyThreeAndEmptiesOnTheNextStore) {
  for (uintptr_t next : {34, 5}) {  // a new window, and one already cached
    Rig& rig = *new Rig;
    std::vector<WindowHandle> windows;
    for (uintptr_t n = 1; n <= 33; ++n) windows.push_back(W(n));
    rig.ProbeInTurn(windows);
    rig.ProbeInTurn({W(next)});
    for (WindowHandle hwnd : windows) EXPECT_EQ(rig.state->CachedUrl(hwnd), UrlOf(hwnd));
    rig.ProbeInTurn({W(99)});
    for (WindowHandle hwnd : windows) {
      EXPECT_EQ(rig.state->CachedUrl(hwnd), hwnd == W(next) ? UrlOf(hwnd) : u"") << next;
    }
    EXPECT_EQ(rig.state->CachedUrl(W(next)), UrlOf(W(next)));
    rig.probe->Release();
  }
}

TEST(UrlProbeState, EmptyResultReplacesAnEarlierUrl) {
  Rig& rig = *new Rig;
  rig.ProbeInTurn({W(7), W(8)});
  ASSERT_EQ(rig.state->CachedUrl(W(7)), UrlOf(W(7)));
  rig.probe->Answer(W(7), u"");
  rig.ProbeInTurn({W(7), W(9)});
  EXPECT_EQ(rig.state->CachedUrl(W(7)), u"");
  rig.probe->Release();
}

TEST(UrlProbeState, StartsOneWorkerForManyRequestsAndNoneForNull) {
  Rig& rig = *new Rig;
  rig.state->Request(nullptr);
  EXPECT_EQ(*rig.starts, 0);
  std::vector<std::thread> callers;
  for (uintptr_t t = 1; t <= 4; ++t) {
    callers.emplace_back([&rig, t] {
      for (uintptr_t i = 0; i < 50; ++i) rig.state->Request(W(t * 100 + i));
    });
  }
  for (auto& caller : callers) caller.join();
  rig.probe->WaitForProbes(1);
  EXPECT_EQ(*rig.starts, 1);
  rig.probe->Release(1000);
}

TEST(UrlProbeState, FailedThreadStartIsRetriedByTheNextRequest) {
  Rig& rig = *new Rig(/*failing_starts=*/1);
  rig.state->Request(W(1));
  EXPECT_EQ(*rig.starts, 0);
  rig.state->Request(W(2));
  EXPECT_EQ(*rig.starts, 1);
  // The first request may still wait in the slot when the worker starts; the second is served.
  rig.probe->WaitForProbes(1);
  if (rig.probe->Probed()[0] == W(1)) {
    rig.probe->Release();
    rig.probe->WaitForProbes(2);
  }
  EXPECT_EQ(rig.probe->Probed().back(), W(2));
  rig.probe->Release();
}

UrlProbeState* current_state = nullptr;
int state_uses = 0;
UrlProbeState& CurrentState() {
  ++state_uses;
  return *current_state;
}

TEST(UrlProbeState, CachedReadsFollowTheExportRules) {
  Rig& rig = *new Rig;
  current_state = rig.state;
  rig.probe->Answer(W(1), u"https://a.example/xy");
  rig.ProbeInTurn({W(1), W(2)});
  request_url_for_hwnd(CurrentState, nullptr);
  std::u16string buffer(12, u'#');
  for (int32_t capacity : {1, 0, -1})
    EXPECT_EQ(get_cached_url(CurrentState, W(1), buffer.data(), capacity), 0);
  EXPECT_EQ(get_cached_url(CurrentState, W(1), nullptr, 8), 0);
  EXPECT_EQ(get_cached_url(CurrentState, nullptr, buffer.data(), 8), 0);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(state_uses, 0);  // refused before the state is created
  EXPECT_EQ(get_cached_url(CurrentState, W(1), buffer.data(), 10), 9);
  EXPECT_EQ(buffer.substr(0, 11), std::u16string(u"https://a\0#", 11));
  EXPECT_EQ(get_cached_url(CurrentState, W(3), buffer.data(), 12), 0);  // never requested
  EXPECT_EQ(buffer[0], u'\0');
  rig.probe->Release();
}

}  // namespace
}  // namespace orvane::url_probe
