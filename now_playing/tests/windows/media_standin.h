#pragma once

// The media-session stand-in (testing/media_session), loaded from beside the test program and
// registered in the prefix once per program; its counters checked after every test.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "testing/media_session/load.h"

namespace orvane::now_playing::testing {

class MediaStandin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // as the poller thread does
    const HMODULE module = orvane::testing::LoadMediaSession();
    set_script_ = orvane::testing::MediaSessionExport<MediaSessionSetScriptFn>(
        module, "media_session_set_script");
    counts_ =
        orvane::testing::MediaSessionExport<MediaSessionCountsFn>(module, "media_session_counts");
    calls_ =
        orvane::testing::MediaSessionExport<MediaSessionCallsFn>(module, "media_session_calls");
  }
  void SetUp() override {
    ASSERT_TRUE(set_script_ && counts_ && calls_);
    MediaSessionCounts counts = {};
    counts_(&counts);
    baseline_live_ = counts.live;
  }
  void TearDown() override { ExpectClean(); }
  // Every object released exactly once, none used after its release, no call the real classes
  // would reject, every string and event given back. Checked while COM is still initialised.
  void ExpectClean() const {
    if (counts_ == nullptr) return;
    MediaSessionCounts c = {};
    counts_(&c);
    EXPECT_EQ(std::make_tuple(c.live, c.over_released, c.used_after_release, c.unexpected_calls,
                              c.live_strings, c.live_events),
              std::make_tuple(baseline_live_, 0L, 0L, 0L, 0L, 0L));
  }
  static void Script(const MediaSessionScript& script) { set_script_(&script); }
  static std::string Calls() {
    char text[1024];
    calls_(text, sizeof text);
    return text;
  }

 private:
  static inline MediaSessionSetScriptFn set_script_ = nullptr;
  static inline MediaSessionCountsFn counts_ = nullptr;
  static inline MediaSessionCallsFn calls_ = nullptr;
  LONG baseline_live_ = 0;
};

}  // namespace orvane::now_playing::testing
