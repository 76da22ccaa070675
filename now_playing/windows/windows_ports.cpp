#include "now_playing/windows/windows_ports.h"

#include <memory>

#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/stop_event.h"
#include "now_playing/windows/stream_adapter.h"
#include "now_playing/windows/window_enumeration.h"

namespace orvane::now_playing::windows {

NowPlayingPorts MakeWindowsPorts() {
  // Without its event the service starts no poller: nothing could end an await.
  const std::shared_ptr<StopEvent> stop = StopEvent::Make();
  NowPlayingPorts ports;
  ports.stop = stop;
  ports.media = MakeMediaPlatform(stop);
  ports.streams = MakeStreamPlatform();
  ports.windows = std::make_unique<Win32WindowPlatform>();
  return ports;
}

}  // namespace orvane::now_playing::windows
