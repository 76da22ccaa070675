#pragma once

// The media-session stand-in (testing/media_session), loaded from beside the test program and
// registered in the prefix once per program; its counters checked after every test.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "testing/media_session/media_session.h"

namespace orvane::now_playing::testing {

class MediaStandin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // as the poller thread does
    wchar_t path[MAX_PATH];
    std::wstring dll(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"media_session.dll";
    const HMODULE module = LoadLibraryW(dll.c_str());
    if (module == nullptr) return;
    set_script_ = Find<MediaSessionSetScriptFn>(module, "media_session_set_script");
    counts_ = Find<MediaSessionCountsFn>(module, "media_session_counts");
    calls_ = Find<MediaSessionCallsFn>(module, "media_session_calls");
    const auto register_classes = Find<MediaSessionRegisterFn>(module, "media_session_register");
    registered_ = register_classes != nullptr && register_classes() == ERROR_SUCCESS;
  }
  void SetUp() override {
    ASSERT_TRUE(set_script_ && counts_ && calls_ && registered_);
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
  template <class Fn>
  static Fn Find(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }

  static inline MediaSessionSetScriptFn set_script_ = nullptr;
  static inline MediaSessionCountsFn counts_ = nullptr;
  static inline MediaSessionCallsFn calls_ = nullptr;
  static inline bool registered_ = false;
  LONG baseline_live_ = 0;
};

}  // namespace orvane::now_playing::testing
