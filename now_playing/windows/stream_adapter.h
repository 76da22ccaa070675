#pragma once

// The stream port over the Runtime's Windows.Storage.Streams classes.
#include <windows.h>

#include <wrl/client.h>

#include <memory>

#include "now_playing/stream_port.h"
#include "now_playing/windows/runtime/storage_streams_abi.h"
#include "now_playing/windows/stop_event.h"

namespace orvane::now_playing::windows {

std::unique_ptr<StreamPlatform> MakeStreamPlatform();

// A thumbnail or other stream reference; null for null. Its awaits end when `stop` (may be null)
// is set.
std::unique_ptr<StreamReference> WrapStreamReference(
    Microsoft::WRL::ComPtr<runtime::abi::IRandomAccessStreamReference> reference, SharedStop stop);

}  // namespace orvane::now_playing::windows
