#include "now_playing/windows/windows_ports.h"

#include <memory>

#include "now_playing/windows/media_session_adapter.h"
#include "now_playing/windows/runtime/holders.h"
#include "now_playing/windows/stream_adapter.h"
#include "now_playing/windows/window_enumeration.h"

namespace orvane::now_playing::windows {
namespace {

class StopEvent final : public StopSignal {
 public:
  void Set() override { SetEvent(event_.Get()); }
  HANDLE Get() const { return event_.Get(); }

 private:
  runtime::Event event_;
};

}  // namespace

NowPlayingPorts MakeWindowsPorts() {
  auto stop = std::make_unique<StopEvent>();
  NowPlayingPorts ports;
  ports.media = MakeMediaPlatform(stop->Get());
  ports.streams = MakeStreamPlatform();
  ports.windows = std::make_unique<Win32WindowPlatform>();
  ports.stop = std::move(stop);
  return ports;
}

}  // namespace orvane::now_playing::windows
