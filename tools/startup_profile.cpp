// Times are taken as the precise system time minus the process's creation time (GetProcessTimes)
// once, at the first mark, and from the performance counter after that, so that later steps do
// not depend on the wall clock.

#include "tools/startup_profile.h"

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace orvane_standin {

namespace {

constexpr size_t kSteps = static_cast<size_t>(StartupStep::kCount);
constexpr const char* kStepNames[kSteps] = {"entry",
                                            "dpi-asked",
                                            "engine-created",
                                            "view-controller-created",
                                            "plugins-registered",
                                            "view-attached",
                                            "redraw-forced",
                                            "first-frame",
                                            "window-created",
                                            "window-shown"};

uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class StartupProfile {
 public:
  StartupProfile() {
    const DWORD length = ::GetEnvironmentVariableW(L"ORVANE_STARTUP_PROFILE", path_, MAX_PATH);
    enabled_ = length > 0 && length < MAX_PATH;
    Mark(StartupStep::kEntry);
  }

  // Written as the process ends (the library is detached, or the program's statics destroyed).
  ~StartupProfile() {
    FILE* file = nullptr;
    if (!enabled_ || _wfopen_s(&file, path_, L"wb") != 0 || file == nullptr) {
      return;
    }
    for (size_t step = 0; step < kSteps; ++step) {
      if (marked_[step]) {
        std::fprintf(file, "%s %.3f\n", kStepNames[step], milliseconds_[step]);
      }
    }
    std::fclose(file);
  }

  void Mark(StartupStep step) {
    const size_t index = static_cast<size_t>(step);
    if (!enabled_ || marked_[index]) {
      return;
    }
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    if (!based_) {
      FILETIME created, exited, kernel, user, now;
      ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
      ::GetSystemTimePreciseAsFileTime(&now);
      base_milliseconds_ = static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
      base_counter_ = counter.QuadPart;
      ::QueryPerformanceFrequency(&frequency_);
      based_ = true;
    }
    const double since_base = static_cast<double>(counter.QuadPart - base_counter_) /
                              static_cast<double>(frequency_.QuadPart);
    milliseconds_[index] = base_milliseconds_ + 1000.0 * since_base;
    marked_[index] = true;
  }

 private:
  wchar_t path_[MAX_PATH] = {};
  bool enabled_ = false;
  bool based_ = false;
  double base_milliseconds_ = 0;
  LONGLONG base_counter_ = 0;
  LARGE_INTEGER frequency_{};
  bool marked_[kSteps] = {};
  double milliseconds_[kSteps] = {};
};

// Made while the loader initialises this module: for the engine library that is its attach, which
// comes before the loader calls the executable's entry; for a program, its C runtime start-up.
StartupProfile profile;

}  // namespace

void MarkStartupStep(StartupStep step) { profile.Mark(step); }

}  // namespace orvane_standin

#else

namespace orvane_standin {

void MarkStartupStep(StartupStep /*step*/) {}

}  // namespace orvane_standin

#endif
