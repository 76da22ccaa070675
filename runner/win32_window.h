#pragma once

#include <windows.h>

#include <string>

#include "runner/window_geometry.h"

namespace orvane {

// The top-level window: one native window of the class "FLUTTER_RUNNER_WIN32_WINDOW", created
// invisible at a size scaled for its monitor, with one child content window that fills its client
// area. Derived classes fill in the hooks; everything runs on the thread that created the window.
class Win32Window {
 public:
  Win32Window();
  virtual ~Win32Window();

  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Creates the window (closing one left from before) with origin and size in logical units of a
  // 96 DPI screen. True when the window exists and OnWindowCreated succeeded; on failure a
  // created window is left for CloseWindow or the destructor.
  bool OpenWindow(const std::wstring& title, const Point& origin, const Size& size);

  // Runs the destruction hook, destroys the window and, when no window object is left, releases
  // the window class.
  void CloseWindow();

  // Shows the window in its normal state; true when it was visible before.
  bool MakeVisible();

  // Makes `content` the child that fills the client area and has the keyboard focus.
  void AttachContent(HWND content);

  RECT ClientBounds() const;

  // Whether destroying the window ends the thread's message loop.
  void SetExitOnClose(bool exit_on_close);

  HWND window_handle() const { return window_; }

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  // Dark frame exactly when the user prefers dark apps; no change when that is not recorded.
  static void ApplySystemTheme(HWND window);

 protected:
  virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  virtual bool OnWindowCreated();
  // May run twice for one window (from WM_DESTROY and from CloseWindow), so it must tolerate
  // finding nothing left to release.
  virtual void OnWindowDestroyed();

 private:
  bool exit_on_close_ = false;
  HWND window_ = nullptr;
  HWND content_ = nullptr;
};

}  // namespace orvane
