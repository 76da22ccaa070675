#include "testing/now_playing_ports/fake_ports.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace orvane::now_playing::testing {
namespace {

constexpr size_t kImagePathUnits = 260;
constexpr size_t kWindowTextUnits = 512;

enum class Outcome { kValue, kFail, kNull };

// Records the call and tells what the script makes of it (see SessionScript::fail). Allocates
// nothing: benchmarks run through here.
Outcome Scripted(Ledger& ledger, const char* name, const std::string& fail) {
  ledger.Call(name);
  const std::string_view call(name);
  if (fail.compare(0, call.size(), call) != 0) return Outcome::kValue;
  const std::string_view rest = std::string_view(fail).substr(call.size());
  if (rest == "=bad_alloc") throw std::bad_alloc();
  if (rest == "=null") return Outcome::kNull;
  if (rest == "=stuck") {
    ledger.AwaitStop();
    return Outcome::kFail;
  }
  return rest.empty() ? Outcome::kFail : Outcome::kValue;
}

template <typename T, typename V>
PortResult<T> Answer(Ledger& ledger, const char* name, const std::string& fail, V value) {
  switch (Scripted(ledger, name, fail)) {
    case Outcome::kFail:
      return Failed<T>();
    case Outcome::kNull:
      return Succeeded<T>(T{});
    default:
      return Succeeded<T>(std::move(value));
  }
}

// Counted while alive.
class Tracked {
 public:
  explicit Tracked(Ledger& ledger) : ledger_(ledger) {
    std::lock_guard<std::mutex> lock(ledger_.lock);
    ++ledger_.live;
  }
  ~Tracked() {
    std::lock_guard<std::mutex> lock(ledger_.lock);
    --ledger_.live;
  }
  Tracked(const Tracked&) = delete;
  Tracked& operator=(const Tracked&) = delete;

 protected:
  Ledger& ledger_;
};

// An object that answers from a script it shares with the objects it hands out.
template <typename Script>
class ScriptedObject : public Tracked {
 public:
  ScriptedObject(Ledger& ledger, FakeStreams& streams, std::shared_ptr<const Script> script)
      : Tracked(ledger), streams_(streams), script_(std::move(script)) {}

 protected:
  template <typename T, typename V>
  PortResult<T> Answer(const char* name, V value) {
    return testing::Answer<T>(ledger_, name, script_->fail, std::move(value));
  }
  // Another object over the same script.
  template <typename Object>
  std::unique_ptr<Object> Make() {
    return std::make_unique<Object>(ledger_, streams_, script_);
  }
  FakeStreams& streams_;
  std::shared_ptr<const Script> script_;
};

// Handles to one buffer share its bytes, as interface pointers to one object do.
struct BufferBytes {
  uint32_t capacity = 0;
  std::vector<uint8_t> bytes;  // its length is the buffer's Length
};

// A buffer, and a data reader over one: a new object over the same bytes.
class FakeBuffer : public StreamBuffer, public StreamDataReader, public Tracked {
 public:
  FakeBuffer(Ledger& ledger, std::shared_ptr<BufferBytes> data, std::string fail)
      : Tracked(ledger), data(std::move(data)), fail_(std::move(fail)) {}
  PortResult<uint32_t> UnconsumedBufferLength() override {
    return testing::Answer<uint32_t>(ledger_, "UnconsumedBufferLength", fail_,
                                     data->bytes.size() - consumed_);
  }
  bool ReadBytes(uint32_t length, uint8_t* bytes) override {
    if (Scripted(ledger_, "ReadBytes", fail_) != Outcome::kValue) return false;
    if (length > data->bytes.size() - consumed_) {
      ledger_.Fault("ReadBytes past the end of the buffer");
      return false;
    }
    std::memcpy(bytes, data->bytes.data() + consumed_, length);
    consumed_ += length;
    return true;
  }
  const std::shared_ptr<BufferBytes> data;

 private:
  const std::string fail_;
  size_t consumed_ = 0;
};

// A thumbnail's reference and each stream it opens: new objects over the same script.
class FakeStream : public StreamReference, public ReadStream, public ScriptedObject<StreamScript> {
 public:
  using ScriptedObject::ScriptedObject;
  PortResult<std::unique_ptr<ReadStream>> OpenReadAsync() override {
    return Answer<std::unique_ptr<ReadStream>>("OpenReadAsync", Make<FakeStream>());
  }
  PortResult<uint64_t> Size() override {
    return Answer<uint64_t>("Size", script_->size.value_or(script_->bytes.size()));
  }
  PortResult<std::unique_ptr<StreamBuffer>> ReadAsync(StreamBuffer& buffer, uint32_t count,
                                                      uint32_t options) override {
    const Outcome outcome = Scripted(ledger_, "ReadAsync", script_->fail);
    if (outcome == Outcome::kFail) return {};
    if (options != 0) ledger_.Fault("ReadAsync with options");
    auto& handed = static_cast<FakeBuffer&>(buffer);
    if (count > handed.data->capacity) ledger_.Fault("ReadAsync beyond the buffer's capacity");
    // A buffer of the stream's own may hold more than was asked for.
    size_t n =
        std::min<size_t>(script_->bytes.size() - position_, script_->deliver.value_or(count));
    std::shared_ptr<BufferBytes> target = handed.data;
    if (script_->own_buffer) {
      target = std::make_shared<BufferBytes>(BufferBytes{static_cast<uint32_t>(n), {}});
    } else {
      n = std::min<size_t>(n, count);
    }
    target->bytes.assign(script_->bytes.begin() + position_,
                         script_->bytes.begin() + position_ + n);
    position_ += n;
    // Succeeded with no buffer returned: the bytes are in the one handed in.
    if (outcome == Outcome::kNull) return Succeeded<std::unique_ptr<StreamBuffer>>(nullptr);
    return Succeeded<std::unique_ptr<StreamBuffer>>(
        std::make_unique<FakeBuffer>(ledger_, target, script_->fail));
  }

 private:
  size_t position_ = 0;
};

// The manager, the session, its properties and its playback information: each step of a pass
// asks for a new object over the same script, which answers as any of them.
class FakeSessionObject : public MediaSessionManager,
                          public MediaSession,
                          public MediaProperties,
                          public MediaPlaybackInfo,
                          public ScriptedObject<SessionScript> {
 public:
  using ScriptedObject::ScriptedObject;
  PortResult<std::unique_ptr<MediaSession>> GetCurrentSession() override {
    return Answer<std::unique_ptr<MediaSession>>("GetCurrentSession", Make<FakeSessionObject>());
  }
  PortResult<std::u16string> SourceAppUserModelId() override {
    return Answer<std::u16string>("SourceAppUserModelId", script_->application_id);
  }
  PortResult<std::unique_ptr<MediaProperties>> TryGetMediaProperties() override {
    return Answer<std::unique_ptr<MediaProperties>>("TryGetMediaProperties",
                                                    Make<FakeSessionObject>());
  }
  PortResult<std::unique_ptr<MediaPlaybackInfo>> GetPlaybackInfo() override {
    return Answer<std::unique_ptr<MediaPlaybackInfo>>("GetPlaybackInfo", Make<FakeSessionObject>());
  }
  PortResult<std::u16string> Title() override {
    return Answer<std::u16string>("Title", script_->title);
  }
  PortResult<std::u16string> Artist() override {
    return Answer<std::u16string>("Artist", script_->artist);
  }
  PortResult<std::u16string> AlbumTitle() override {
    return Answer<std::u16string>("AlbumTitle", script_->album);
  }
  PortResult<std::unique_ptr<StreamReference>> Thumbnail() override {
    // Shares the script rather than copying its bytes.
    return Answer<std::unique_ptr<StreamReference>>(
        "Thumbnail", script_->thumbnail ? streams_.Reference(std::shared_ptr<const StreamScript>(
                                              script_, &*script_->thumbnail))
                                        : nullptr);
  }
  PortResult<int32_t> PlaybackStatus() override {
    return Answer<int32_t>("PlaybackStatus", script_->status);
  }
};

}  // namespace

void Ledger::Call(const char* name) {
  std::lock_guard<std::mutex> guard(lock);
  if (poller && *poller != std::this_thread::get_id()) {
    faults.push_back(std::string(name) + " off the poller thread");
  }
  if (left) faults.push_back(std::string(name) + " after the apartment was left");
}

void Ledger::Fault(const std::string& fault) {
  std::lock_guard<std::mutex> guard(lock);
  faults.push_back(fault);
}

void Ledger::Enter() {
  std::lock_guard<std::mutex> guard(lock);
  if (poller) faults.push_back("apartment entered twice");
  poller = std::this_thread::get_id();
}

void Ledger::Leave() {
  std::lock_guard<std::mutex> guard(lock);
  if (!poller || *poller != std::this_thread::get_id() || left) {
    faults.push_back("apartment left off the poller thread, or twice");
  }
  left = true;
}

void Ledger::AwaitStop() {
  std::unique_lock<std::mutex> guard(lock);
  ++stuck;
  changed.notify_all();
  changed.wait(guard, [&] { return stopped; });
}

void Ledger::Stop() {
  std::lock_guard<std::mutex> guard(lock);
  stopped = true;
  changed.notify_all();
}

void Ledger::AwaitStuck() {
  std::unique_lock<std::mutex> guard(lock);
  changed.wait(guard, [&] { return stuck > 0; });
}

std::vector<std::string> Ledger::Verdict() {
  std::lock_guard<std::mutex> guard(lock);
  std::vector<std::string> verdict = faults;
  if (live != 0) verdict.push_back(std::to_string(live) + " objects alive");
  if (poller && !left) verdict.push_back("apartment not left");
  return verdict;
}

std::chrono::steady_clock::time_point FakeStop::Now() {
  std::lock_guard<std::mutex> guard(ledger_.lock);
  return now_;
}

bool FakeStop::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> guard(ledger_.lock);
  ++waits_;
  deadline_ = deadline;
  ledger_.changed.notify_all();
  ledger_.changed.wait(guard, [&] { return ledger_.stopped || early_ || permits_ > 0; });
  if (ledger_.stopped) {
    // The first wait to see the stop ends the pause; a pause that waits on would spin for ever
    // in time that stands still, so this one reaches its deadline.
    if (stop_seen_) {
      ledger_.faults.push_back("pause went on after the stop");
      now_ = deadline;
    }
    stop_seen_ = true;
    return true;
  }
  if (early_) {
    early_ = false;
  } else {
    --permits_;
    now_ = deadline;
  }
  return false;
}

int64_t FakeStop::AwaitWaits(int count) {
  std::unique_lock<std::mutex> guard(ledger_.lock);
  ledger_.changed.wait(guard, [&] { return waits_ >= count; });
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline_.time_since_epoch())
      .count();
}

void FakeStop::Permit(int count) {
  std::lock_guard<std::mutex> guard(ledger_.lock);
  permits_ += count;
  ledger_.changed.notify_all();
}

void FakeStop::WakeEarly() {
  std::lock_guard<std::mutex> guard(ledger_.lock);
  early_ = true;
  ledger_.changed.notify_all();
}

void FakeStop::Advance(std::chrono::milliseconds by) {
  std::lock_guard<std::mutex> guard(ledger_.lock);
  now_ += by;
}

int FakeStop::waits() {
  std::lock_guard<std::mutex> guard(ledger_.lock);
  return waits_;
}

PortResult<std::unique_ptr<StreamBuffer>> FakeStreams::CreateBuffer(uint32_t capacity) {
  return Answer<std::unique_ptr<StreamBuffer>>(
      ledger_, "CreateBuffer", fail_,
      std::make_unique<FakeBuffer>(
          ledger_, std::make_shared<BufferBytes>(BufferBytes{capacity, {}}), fail_));
}

PortResult<std::unique_ptr<StreamDataReader>> FakeStreams::DataReaderFromBuffer(
    StreamBuffer& buffer) {
  auto& fake = static_cast<FakeBuffer&>(buffer);
  return Answer<std::unique_ptr<StreamDataReader>>(
      ledger_, "DataReaderFromBuffer", fail_,
      std::make_unique<FakeBuffer>(ledger_, fake.data, fail_));
}

std::unique_ptr<StreamReference> FakeStreams::Reference(
    std::shared_ptr<const StreamScript> script) {
  fail_ = script->fail;
  return std::make_unique<FakeStream>(ledger_, *this, std::move(script));
}

bool FakeMedia::EnterPollerThread() {
  ledger_.Enter();
  return true;
}

void FakeMedia::LeavePollerThread() { ledger_.Leave(); }

PortResult<std::unique_ptr<MediaSessionManager>> FakeMedia::RequestSessionManager() {
  const int pass = ++passes_;
  if (on_pass) on_pass(pass);
  std::shared_ptr<const SessionScript> script;
  {
    std::lock_guard<std::mutex> lock(lock_);
    script = script_;
  }
  const std::string fail = script->fail;
  return Answer<std::unique_ptr<MediaSessionManager>>(
      ledger_, "RequestSessionManager", fail,
      std::make_unique<FakeSessionObject>(ledger_, streams_, std::move(script)));
}

void FakeMedia::SetScript(SessionScript script) {
  auto shared = std::make_shared<const SessionScript>(std::move(script));
  std::lock_guard<std::mutex> lock(lock_);
  script_ = std::move(shared);
}

void FakeWindows::EnumerateWindows(WindowVisitor visit, void* context) {
  ledger_.Call("EnumWindows");
  ++enumerations;
  for (size_t i = 0; i < windows.size(); ++i) {
    if (!visit(reinterpret_cast<WindowHandle>(i + 1), context)) break;
  }
}

const RecordedWindow* FakeWindows::Find(WindowHandle window) {
  auto index = reinterpret_cast<uintptr_t>(window);
  if (index == 0 || index > windows.size()) {
    ledger_.Fault("not a window");
    return nullptr;
  }
  return &windows[index - 1];
}

bool FakeWindows::IsVisible(WindowHandle window) {
  const RecordedWindow* recorded = Find(window);
  return recorded != nullptr && recorded->visible;
}

uint32_t FakeWindows::ProcessId(WindowHandle window) {
  const RecordedWindow* recorded = Find(window);
  return recorded == nullptr ? 0 : recorded->process_id;
}

std::optional<std::u16string> FakeWindows::ProcessImagePath(uint32_t process_id, size_t capacity) {
  if (capacity != kImagePathUnits) ledger_.Fault("image path buffer of another size");
  const RecordedWindow* window = nullptr;
  if (process_id > 0 && process_id <= windows.size() &&
      windows[process_id - 1].process_id == process_id) {
    window = &windows[process_id - 1];
  }
  for (size_t i = 0; window == nullptr && i < windows.size(); ++i) {
    if (windows[i].process_id == process_id) window = &windows[i];
  }
  if (window == nullptr) {
    ledger_.Fault("no such process");
    return std::nullopt;
  }
  // The path and its terminator must fit.
  if (!window->image || window->image->size() >= capacity) return std::nullopt;
  return window->image;
}

std::u16string FakeWindows::WindowText(WindowHandle window, size_t capacity) {
  if (capacity != kWindowTextUnits) ledger_.Fault("window text buffer of another size");
  const RecordedWindow* recorded = Find(window);
  if (recorded == nullptr || capacity == 0) return std::u16string();
  if (!recorded->answers) ledger_.Fault("title read of a window that does not answer");
  return recorded->title.substr(0, capacity - 1);
}

}  // namespace orvane::now_playing::testing
