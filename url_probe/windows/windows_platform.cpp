#include "url_probe/windows/windows_platform.h"

#include <windows.h>

#include <objbase.h>

#include "url_probe/windows/msaa_adapter.h"
#include "url_probe/windows/uia_adapter.h"

namespace orvane::url_probe::windows {

int32_t WindowsProbePlatform::InitializeCom() {
  return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void WindowsProbePlatform::UninitializeCom() { CoUninitialize(); }

PortResult<UiaAutomation> WindowsProbePlatform::CreateAutomation() { return CreateUiaAutomation(); }

PortResult<AccObject> WindowsProbePlatform::AccessibleObjectFromWindow(WindowHandle hwnd) {
  return AccessibleClientObject(hwnd);
}

uint32_t WindowsProbePlatform::TickCount() { return GetTickCount(); }

}  // namespace orvane::url_probe::windows
