#include "runner/system_theme.h"

#include <dwmapi.h>

namespace orvane {

SystemThemeCalls& system_theme_calls() {
  static SystemThemeCalls calls{&::RegGetValueW, &::DwmSetWindowAttribute};
  return calls;
}

}  // namespace orvane
