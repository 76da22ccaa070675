#include "now_playing/windows/windows_ports.h"

#include <memory>

#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/runtime/holders.h"
#include "now_playing/windows/stream_adapter.h"
#include "now_playing/windows/window_enumeration.h"

namespace orvane::now_playing::windows {

NowPlayingPorts MakeWindowsPorts() {
  // Lives as long as the ports: the media port's objects wait on it.
  auto stop = std::make_shared<runtime::Event>();
  NowPlayingPorts ports;
  ports.media = MakeMediaPlatform(stop->Get());
  ports.streams = MakeStreamPlatform();
  ports.windows = std::make_unique<Win32WindowPlatform>();
  ports.stop = [stop] { SetEvent(stop->Get()); };
  return ports;
}

}  // namespace orvane::now_playing::windows
