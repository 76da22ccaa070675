#pragma once

// Strict stand-ins for the platform ports: scripted sessions, streams and recorded windows. Every
// object they hand out is counted while alive, and anything the platform would reject (a call
// from the wrong thread, a read larger than its buffer, read options, a wrong buffer size) is
// written down as a fault.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "now_playing/now_playing_ports.h"

namespace orvane::now_playing::testing {

struct Ledger {
  void Call(const char* name);
  void Fault(const std::string& fault);
  void Enter();
  void Leave();
  // An await scripted to be stuck ("Call=stuck") waits here for the stop, then fails.
  void AwaitStop();
  void Stop();
  // Waits until an await is stuck.
  void AwaitStuck();
  // What the platform would not have had: the faults, and the objects still alive if any are.
  std::vector<std::string> Verdict();

  std::mutex lock;
  std::condition_variable changed;
  bool stopped = false;
  int stuck = 0;
  int live = 0;
  std::vector<std::string> faults;
  std::optional<std::thread::id> poller;
  bool left = false;  // the poller's apartment
};

// The stop, in virtual time that stands still until a wait of the pause moves it: each wait is
// counted and lasts until the test lets it reach its deadline (Now() is then that deadline) or
// wakes it early, or until the stop, which also ends the awaits scripted to be stuck. A second
// wait that sees the stop is a fault. Allocates nothing.
class FakeStop : public StopSignal {
 public:
  explicit FakeStop(Ledger& ledger) : ledger_(ledger) {}
  void Set() override { ledger_.Stop(); }
  std::chrono::steady_clock::time_point Now() override;
  bool WaitUntil(std::chrono::steady_clock::time_point deadline) override;

  // Waits until `count` waits have begun; the deadline of the last of them, in milliseconds.
  int64_t AwaitWaits(int count);
  // The next `count` waits reach their deadlines.
  void Permit(int count);
  void Free() { Permit(1 << 30); }
  // The next wait ends early, with the time unchanged.
  void WakeEarly();
  // Moves the time on, as a reading that takes that long.
  void Advance(std::chrono::milliseconds by);
  int waits();

 private:
  Ledger& ledger_;
  std::chrono::steady_clock::time_point now_;
  std::chrono::steady_clock::time_point deadline_;
  int waits_ = 0;
  int64_t permits_ = 0;  // wide: a test may free the time twice before a wait takes one
  bool early_ = false;
  bool stop_seen_ = false;
};

struct StreamScript {
  std::vector<uint8_t> bytes;
  std::optional<uint64_t> size;     // the size the stream reports; none: the bytes' count
  std::optional<uint32_t> deliver;  // what one read delivers at most; none: all it asks for
  bool own_buffer = false;          // the read returns a buffer of its own
  std::string fail;                 // as in SessionScript
};

struct SessionScript {
  std::u16string title, artist, album, application_id;
  int32_t status = kPlaybackPlaying;
  std::optional<StreamScript> thumbnail;
  // The call that reports a failure ("Title"), succeeds with no object or an empty value
  // ("Title=null"), runs out of memory ("Title=bad_alloc") or, awaited, does not complete
  // before the stop ("ReadAsync=stuck").
  std::string fail;
};

struct RecordedWindow {
  bool visible = true;
  uint32_t process_id = 1;
  std::optional<std::u16string> image;  // none: the process cannot be opened
  std::u16string title;
  // False: its thread does not answer, so reading its title would block (as the host's own
  // window would while the UI thread joins the poller). Only browser windows' titles are read.
  bool answers = true;
};

class FakeStreams : public StreamPlatform {
 public:
  explicit FakeStreams(Ledger& ledger) : ledger_(ledger) {}
  PortResult<std::unique_ptr<StreamBuffer>> CreateBuffer(uint32_t capacity) override;
  PortResult<std::unique_ptr<StreamDataReader>> DataReaderFromBuffer(StreamBuffer& buffer) override;

  // A stream reference over `script`, as a session's thumbnail would give it.
  std::unique_ptr<StreamReference> Reference(std::shared_ptr<const StreamScript> script);

 private:
  Ledger& ledger_;
  std::string fail_;  // of the stream last referenced
};

class FakeMedia : public MediaPlatform {
 public:
  FakeMedia(Ledger& ledger, FakeStreams& streams) : ledger_(ledger), streams_(streams) {}
  bool EnterPollerThread() override;
  void LeavePollerThread() override;
  PortResult<std::unique_ptr<MediaSessionManager>> RequestSessionManager() override;

  // Read at the start of every pass (after `on_pass`); may be changed at any time.
  void SetScript(SessionScript script);
  // Runs at the start of every pass with its number (1 for the first), before anything else.
  // Set it before the poller starts.
  std::function<void(int pass)> on_pass;

 private:
  Ledger& ledger_;
  FakeStreams& streams_;
  std::mutex lock_;
  std::shared_ptr<const SessionScript> script_ = std::make_shared<SessionScript>();
  std::atomic<int> passes_{0};
};

class FakeWindows : public WindowPlatform {
 public:
  explicit FakeWindows(Ledger& ledger) : ledger_(ledger) {}
  void EnumerateWindows(WindowVisitor visit, void* context) override;
  bool IsVisible(WindowHandle window) override;
  uint32_t ProcessId(WindowHandle window) override;
  std::optional<std::u16string> ProcessImagePath(uint32_t process_id, size_t capacity) override;
  std::u16string WindowText(WindowHandle window, size_t capacity) override;

  // A window whose process id is its position plus one is found at once.
  std::vector<RecordedWindow> windows;
  int enumerations = 0;

 private:
  const RecordedWindow* Find(WindowHandle window);
  Ledger& ledger_;
};

// The platform ports over one ledger. `ports` owns them (hand it to a service or read
// through it); the pointers stay usable while it lives, and `stop` while the ledger does.
struct FakePlatform {
  Ledger ledger;
  std::shared_ptr<FakeStop> stop = std::make_shared<FakeStop>(ledger);
  FakeStreams* streams = new FakeStreams(ledger);
  FakeMedia* media = new FakeMedia(ledger, *streams);
  FakeWindows* windows = new FakeWindows(ledger);
  NowPlayingPorts ports{stop, std::unique_ptr<MediaPlatform>(media),
                        std::unique_ptr<StreamPlatform>(streams),
                        std::unique_ptr<WindowPlatform>(windows)};
};

}  // namespace orvane::now_playing::testing
