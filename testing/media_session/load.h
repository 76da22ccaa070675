#pragma once

// Loading the media-session stand-in into a test program (media_session.h).
#include <windows.h>

#include <string>
#include <utility>

#include "testing/media_session/media_session.h"
#include "testing/program_folder.h"

namespace orvane::testing {

// An export of the stand-in; null when `module` is null or lacks it.
template <class Fn>
Fn MediaSessionExport(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Loads the copy beside the running program and registers its classes in the prefix's machine
// registry with that copy as their library. Null when either fails.
inline HMODULE LoadMediaSession() {
  const std::wstring dll = ProgramFolder() + L"media_session.dll";
  const HMODULE module = ::LoadLibraryW(dll.c_str());
  const auto register_classes =
      MediaSessionExport<MediaSessionRegisterFn>(module, "media_session_register");
  if (register_classes != nullptr && register_classes() == ERROR_SUCCESS) return module;
  if (module != nullptr) ::FreeLibrary(module);
  return nullptr;
}

// The stand-in loaded into this program (LoadMediaSession) and driven in process. Its controls are
// null when it could not be loaded: Loaded() tells.
class MediaSessionStandin {
 public:
  MediaSessionStandin()
      : module_(LoadMediaSession()),
        set_script_(
            MediaSessionExport<MediaSessionSetScriptFn>(module_, "media_session_set_script")),
        counts_(MediaSessionExport<MediaSessionCountsFn>(module_, "media_session_counts")),
        calls_(MediaSessionExport<MediaSessionCallsFn>(module_, "media_session_calls")) {}

  bool Loaded() const { return set_script_ && counts_ && calls_; }
  void Script(const MediaSessionScript& script) const { set_script_(&script); }
  // The calls since the script was set (media_session_calls).
  std::string Calls() const {
    char text[1024];
    calls_(text, sizeof text);
    return text;
  }
  LONG Live() const { return Counts().live; }
  // What the real classes would not have had, one " name=count" for each count that is not zero:
  // objects over-released or used after their release, calls they would reject, strings and events
  // not given back, and objects alive beyond the `live` there were before.
  std::string Verdict(LONG live) const {
    if (!Loaded()) return " not loaded";
    const MediaSessionCounts c = Counts();
    const std::pair<const char*, LONG> counts[] = {{"live", c.live - live},
                                                   {"over_released", c.over_released},
                                                   {"used_after_release", c.used_after_release},
                                                   {"unexpected_calls", c.unexpected_calls},
                                                   {"live_strings", c.live_strings},
                                                   {"live_events", c.live_events}};
    std::string verdict;
    for (const auto& [name, count] : counts) {
      if (count != 0) verdict += " " + std::string(name) + "=" + std::to_string(count);
    }
    return verdict;
  }

 private:
  MediaSessionCounts Counts() const {
    MediaSessionCounts counts = {};
    counts_(&counts);
    return counts;
  }

  HMODULE module_;
  MediaSessionSetScriptFn set_script_;
  MediaSessionCountsFn counts_;
  MediaSessionCallsFn calls_;
};

}  // namespace orvane::testing
