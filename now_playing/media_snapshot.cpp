#include "now_playing/media_snapshot.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "now_playing/artwork.h"
#include "now_playing/source_classification.h"
#include "now_playing/text.h"

namespace orvane::now_playing {
namespace {

// What one pass took from the session, before the map is built.
struct SessionReading {
  std::u16string title;
  std::u16string artist;
  std::u16string album;
  std::u16string application_id;
  bool playing = false;
  std::vector<uint8_t> artwork;
};

// False when a platform call failed or there is nothing to show.
bool ReadSession(const NowPlayingPorts& ports, SessionReading& reading) {
  PortResult<std::unique_ptr<MediaSessionManager>> manager = ports.media->RequestSessionManager();
  if (!manager.ok || !manager.value) return false;
  PortResult<std::unique_ptr<MediaSession>> session = manager.value->GetCurrentSession();
  if (!session.ok || !session.value) return false;
  PortResult<std::unique_ptr<MediaProperties>> properties = session.value->TryGetMediaProperties();
  if (!properties.ok) return false;
  PortResult<std::unique_ptr<MediaPlaybackInfo>> playback = session.value->GetPlaybackInfo();
  if (!playback.ok) return false;
  if (properties.value) {
    PortResult<std::u16string> title = properties.value->Title();
    if (!title.ok) return false;
    PortResult<std::u16string> artist = properties.value->Artist();
    if (!artist.ok) return false;
    PortResult<std::u16string> album = properties.value->AlbumTitle();
    if (!album.ok) return false;
    reading.title = std::move(title.value);
    reading.artist = std::move(artist.value);
    reading.album = std::move(album.value);
  }
  PortResult<std::u16string> application_id = session.value->SourceAppUserModelId();
  if (!application_id.ok) return false;
  reading.application_id = std::move(application_id.value);
  if (reading.title.empty() && reading.artist.empty()) return false;
  if (playback.value) {
    PortResult<int32_t> status = playback.value->PlaybackStatus();
    if (!status.ok) return false;
    reading.playing = status.value == kPlaybackPlaying;
  }
  // The properties exist here: without them title and artist are empty.
  PortResult<std::unique_ptr<StreamReference>> thumbnail = properties.value->Thumbnail();
  if (!thumbnail.ok) return false;
  reading.artwork = ReadThumbnailBytes(*ports.streams, thumbnail.value.get());
  return true;
}

const std::string* StringAt(const MediaSnapshot& snapshot, const char* key) {
  auto entry = snapshot.find(EncodableValue(key));
  return entry == snapshot.end() ? nullptr : entry->second.TryGet<std::string>();
}

void AppendField(std::string& out, const std::string* text) {
  if (text != nullptr) out += *text;
  out += '|';
}

}  // namespace

std::optional<MediaSnapshot> ReadMediaSnapshot(const NowPlayingPorts& ports) {
  try {
    SessionReading reading;
    if (!ReadSession(ports, reading)) return std::nullopt;
    // Classified after the session's objects are gone: the window scan can take a while.
    MediaSnapshot snapshot;
    snapshot[EncodableValue("title")] = EncodableValue(WideToUtf8(reading.title));
    snapshot[EncodableValue("artist")] = EncodableValue(WideToUtf8(reading.artist));
    snapshot[EncodableValue("album")] = EncodableValue(WideToUtf8(reading.album));
    snapshot[EncodableValue("source")] =
        EncodableValue(ClassifySource(*ports.windows, reading.application_id, reading.title));
    snapshot[EncodableValue("isPlaying")] = EncodableValue(reading.playing);
    if (!reading.artwork.empty()) {
      snapshot[EncodableValue("artwork")] = EncodableValue(std::move(reading.artwork));
    }
    return snapshot;
  } catch (...) {
    // Out of memory, like any other failure, leaves no reading.
    return std::nullopt;
  }
}

std::string SnapshotSignature(const MediaSnapshot& snapshot) {
  std::string out;
  AppendField(out, StringAt(snapshot, "title"));
  AppendField(out, StringAt(snapshot, "artist"));
  AppendField(out, StringAt(snapshot, "album"));
  AppendField(out, StringAt(snapshot, "source"));
  auto playing = snapshot.find(EncodableValue("isPlaying"));
  const bool* is_playing = playing == snapshot.end() ? nullptr : playing->second.TryGet<bool>();
  out += is_playing != nullptr && *is_playing ? "1|" : "0|";
  auto artwork = snapshot.find(EncodableValue("artwork"));
  const auto* bytes =
      artwork == snapshot.end() ? nullptr : artwork->second.TryGet<std::vector<uint8_t>>();
  out += std::to_string(bytes == nullptr ? 0 : bytes->size());
  return out;
}

std::string PublishedSignature(std::optional<MediaSnapshot>& reading) {
  if (!reading) return std::string();
  try {
    return SnapshotSignature(*reading);
  } catch (...) {
    reading.reset();
    return std::string();
  }
}

}  // namespace orvane::now_playing
