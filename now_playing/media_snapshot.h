#pragma once

#include <optional>
#include <string>

#include "client_wrapper/encodable_value.h"
#include "now_playing/now_playing_ports.h"

namespace orvane::now_playing {

// One reading of the media session: "title", "artist", "album", "source", "isPlaying" and, when
// there are artwork bytes, "artwork".
using MediaSnapshot = EncodableMap;

// None when there is no session, its title and artist are both empty, or a platform call failed.
std::optional<MediaSnapshot> ReadMediaSnapshot(const NowPlayingPorts& ports);

// "title|artist|album|source|playing|artwork length", read back from the map.
std::string SnapshotSignature(const MediaSnapshot& snapshot);

// The signature to publish with `reading`, empty for none. Running out of memory while it is built
// drops the reading as well: a snapshot never goes out under the empty signature, which "since" ""
// would take for no change.
std::string PublishedSignature(std::optional<MediaSnapshot>& reading);

}  // namespace orvane::now_playing
