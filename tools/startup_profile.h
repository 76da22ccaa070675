#pragma once

// The start-up profile: for each step of a program's start-up, the time since the process was
// created. Kept in memory and written when the process ends, one "step milliseconds" line each,
// to the file named by ORVANE_STARTUP_PROFILE (nothing is kept when it is unset), so that taking
// the profile costs the start-up next to nothing. scripts/measure-startup.sh reads it.
//
// The stand-in engine marks the steps it can see of the host's start-up; the bare window of
// tools/ marks its own.

namespace orvane_standin {

enum class StartupStep {
  kEntry,                  // library or program loaded, just before the executable's entry runs
  kDpiAsked,               // the host's first call into the engine library
  kEngineCreated,          // FlutterDesktopEngineCreate called
  kViewControllerCreated,  // FlutterDesktopViewControllerCreate returns the view
  kPluginsRegistered,      // the host asks for the view's window after registering the plug-ins
  kViewAttached,           // the host sets the next-frame callback after attaching the view
  kRedrawForced,           // FlutterDesktopViewControllerForceRedraw called
  kFirstFrame,             // the next-frame callback about to run
  kWindowCreated,          // (bare window) CreateWindowExW returned
  kWindowShown,            // the top-level window visible
  kCount
};

// Notes the step's time, the first time only; later marks of the same step are ignored.
void MarkStartupStep(StartupStep step);

}  // namespace orvane_standin
