#pragma once

// The media-session stand-in (media_session.h) loaded beside the test program, registered in the
// prefix and driven in process. Its controls are null when it could not be loaded: Loaded() tells.
#include <windows.h>

#include <string>

#include "testing/media_session/media_session.h"
#include "testing/standin_library.h"

namespace orvane::testing {

class MediaSessionStandin {
 public:
  bool Loaded() const { return library_.registered() && set_script_ && counts_ && calls_; }
  void Script(const MediaSessionScript& script) const { set_script_(&script); }
  // The calls since the script was set (media_session_calls).
  std::string Calls() const {
    char text[1024];
    calls_(text, sizeof text);
    return text;
  }
  LONG Live() const { return Counts().live; }
  // What the real classes would not have had: objects over-released or used after their release,
  // calls they would reject, strings and events not given back, and objects alive beyond the
  // `live` there were before.
  std::string Verdict(LONG live) const {
    if (!Loaded()) return " not loaded";
    const MediaSessionCounts c = Counts();
    return CountsVerdict({{"live", c.live - live},
                          {"over_released", c.over_released},
                          {"used_after_release", c.used_after_release},
                          {"unexpected_calls", c.unexpected_calls},
                          {"live_strings", c.live_strings},
                          {"live_events", c.live_events}});
  }

 private:
  MediaSessionCounts Counts() const {
    MediaSessionCounts counts = {};
    counts_(&counts);
    return counts;
  }

  StandinLibrary library_{L"media_session.dll"};
  MediaSessionSetScriptFn set_script_ =
      library_.Export<MediaSessionSetScriptFn>("media_session_set_script");
  MediaSessionCountsFn counts_ = library_.Export<MediaSessionCountsFn>("media_session_counts");
  MediaSessionCallsFn calls_ = library_.Export<MediaSessionCallsFn>("media_session_calls");
};

}  // namespace orvane::testing
