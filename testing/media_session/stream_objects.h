#pragma once

// The stand-in's Windows.Storage.Streams objects.
#include <windows.h>

#include <wrl/client.h>

#include <memory>

#include "now_playing/windows/runtime/storage_streams_abi.h"
#include "testing/media_session/standin_state.h"

namespace orvane::testing::media_session {

// The thumbnail of `script` as a stream reference.
Microsoft::WRL::ComPtr<runtime::abi::IRandomAccessStreamReference> MakeThumbnail(
    std::shared_ptr<const Script> script);

// Activation factories of Windows.Storage.Streams.Buffer and Windows.Storage.Streams.DataReader.
IActivationFactory* MakeBufferFactory();
IActivationFactory* MakeDataReaderStatics();

}  // namespace orvane::testing::media_session
