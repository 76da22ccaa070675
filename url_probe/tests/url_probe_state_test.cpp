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
  std::u16string url = u"w";
  for (char c : std::to_string(reinterpret_cast<uintptr_t>(hwnd))) url += static_cast<char16_t>(c);
  return url + u".example";
}

// Each probe records its window and then waits until the test releases it, so the test decides
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
    const auto answer = answers_.find(hwnd);
    return answer == answers_.end() ? UrlOf(hwnd) : answer->second;
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

// A state with a gated probe. Workers never stop, so neither the state nor its port is ever
// destroyed; both stay reachable for the leak checker.
struct Rig {
  GatedProbe* probe = new GatedProbe;
  std::atomic<int>* starts = new std::atomic<int>(0);
  UrlProbeState* state = nullptr;
};

Rig MakeRig(int failing_starts = 0) {
  static auto* kept = new std::vector<Rig>;
  Rig rig;
  auto* failures = new std::atomic<int>(failing_starts);
  std::atomic<int>* starts = rig.starts;
  rig.state = new UrlProbeState(*rig.probe, [starts, failures](std::function<void()> body) {
    if (failures->fetch_sub(1) > 0) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    ++*starts;
    launch_detached_thread(std::move(body));
  });
  kept->push_back(rig);
  return rig;
}

// Probes `windows` one after another, `done` probes having started before. Afterwards every
// earlier probe has been stored and the worker is held in the probe of the last window. Returns
// the number of probes started.
size_t ProbeInTurn(Rig& rig, size_t done, const std::vector<WindowHandle>& windows) {
  for (WindowHandle hwnd : windows) {
    rig.state->Request(hwnd);
    if (done > 0) rig.probe->Release();
    rig.probe->WaitForProbes(++done);
  }
  return done;
}

TEST(UrlProbeState, BurstWhileBusyProbesOnlyTheLastRequest) {
  Rig rig = MakeRig();
  rig.state->Request(W(4));  // D
  rig.probe->WaitForProbes(1);
  rig.state->Request(W(1));
  rig.state->Request(W(2));
  rig.state->Request(W(3));
  rig.probe->Release();
  rig.probe->WaitForProbes(2);
  rig.probe->Release();
  rig.state->Request(W(99));
  rig.probe->WaitForProbes(3);
  EXPECT_EQ(rig.probe->Probed(), (std::vector<WindowHandle>{W(4), W(3), W(99)}));
  EXPECT_EQ(rig.state->CachedUrl(W(4)), UrlOf(W(4)));
  EXPECT_EQ(rig.state->CachedUrl(W(3)), UrlOf(W(3)));
  EXPECT_EQ(rig.state->CachedUrl(W(1)), u"");
  EXPECT_EQ(rig.state->CachedUrl(W(2)), u"");
  rig.probe->Release();
}

std::vector<WindowHandle> Windows(uintptr_t first, uintptr_t last) {
  std::vector<WindowHandle> windows;
  for (uintptr_t n = first; n <= last; ++n) windows.push_back(W(n));
  return windows;
}

TEST(UrlProbeState, CacheKeepsThirtyThreeAndEmptiesOnTheNextStore) {
  Rig rig = MakeRig();
  // Windows 1 to 33 stored; the worker now holds window 34.
  size_t done = ProbeInTurn(rig, 0, Windows(1, 34));
  for (WindowHandle hwnd : Windows(1, 33)) EXPECT_EQ(rig.state->CachedUrl(hwnd), UrlOf(hwnd));
  done = ProbeInTurn(rig, done, {W(35)});  // 34 stored into a full cache
  EXPECT_EQ(rig.state->CachedUrl(W(34)), UrlOf(W(34)));
  for (WindowHandle hwnd : Windows(1, 33)) EXPECT_EQ(rig.state->CachedUrl(hwnd), u"");
  rig.probe->Release();
}

TEST(UrlProbeState, CacheEmptiesEvenWhenTheWindowIsAlreadyCached) {
  Rig rig = MakeRig();
  size_t done = ProbeInTurn(rig, 0, Windows(1, 33));
  done = ProbeInTurn(rig, done, {W(5), W(99)});  // 33 stored, then window 5 again
  EXPECT_EQ(rig.state->CachedUrl(W(5)), UrlOf(W(5)));
  EXPECT_EQ(rig.state->CachedUrl(W(1)), u"");
  EXPECT_EQ(rig.state->CachedUrl(W(33)), u"");
  rig.probe->Release();
}

TEST(UrlProbeState, EmptyResultReplacesAnEarlierUrl) {
  Rig rig = MakeRig();
  size_t done = ProbeInTurn(rig, 0, {W(7), W(8)});
  ASSERT_EQ(rig.state->CachedUrl(W(7)), UrlOf(W(7)));
  rig.probe->Answer(W(7), u"");
  ProbeInTurn(rig, done, {W(7), W(9)});
  EXPECT_EQ(rig.state->CachedUrl(W(7)), u"");
  rig.probe->Release();
}

TEST(UrlProbeState, StartsOneWorkerForManyRequestsAndNoneForNull) {
  Rig rig = MakeRig();
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
  Rig rig = MakeRig(/*failing_starts=*/1);
  rig.state->Request(W(1));
  EXPECT_EQ(*rig.starts, 0);
  rig.state->Request(W(2));
  EXPECT_EQ(*rig.starts, 1);
  // The first request may still wait in the slot when the worker starts; the second is served
  // either way.
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
  Rig rig = MakeRig();
  current_state = rig.state;
  const std::u16string twenty = u"https://a.example/xy";
  rig.probe->Answer(W(1), twenty);
  ProbeInTurn(rig, 0, {W(1), W(2)});

  state_uses = 0;
  request_url_for_hwnd(CurrentState, nullptr);
  char16_t unit = u'#';
  for (int32_t capacity : {1, 0, -1})
    EXPECT_EQ(get_cached_url(CurrentState, W(1), &unit, capacity), 0);
  EXPECT_EQ(get_cached_url(CurrentState, W(1), nullptr, 8), 0);
  EXPECT_EQ(get_cached_url(CurrentState, nullptr, &unit, 8), 0);
  EXPECT_EQ(unit, u'#');
  EXPECT_EQ(state_uses, 0);

  std::u16string buffer(12, u'#');
  EXPECT_EQ(get_cached_url(CurrentState, W(1), buffer.data(), 2), 1);
  EXPECT_EQ(buffer.substr(0, 3), std::u16string(u"h\0#", 3));
  EXPECT_EQ(get_cached_url(CurrentState, W(1), buffer.data(), 10), 9);
  EXPECT_EQ(buffer.substr(0, 11), std::u16string(u"https://a\0#", 11));
  buffer.assign(12, u'#');
  EXPECT_EQ(get_cached_url(CurrentState, W(3), buffer.data(), 12), 0);  // never requested
  EXPECT_EQ(buffer.substr(0, 2), std::u16string(u"\0#", 2));
  rig.probe->Release();
}

}  // namespace
}  // namespace orvane::url_probe
