#include "now_playing/windows/windows_ports.h"

#include <memory>

#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/stream_adapter.h"
#include "now_playing/windows/window_enumeration.h"

namespace orvane::now_playing::windows {

NowPlayingPorts MakeWindowsPorts() {
  NowPlayingPorts ports;
  ports.media = MakeMediaPlatform();
  ports.streams = MakeStreamPlatform();
  ports.windows = std::make_unique<Win32WindowPlatform>();
  return ports;
}

}  // namespace orvane::now_playing::windows
