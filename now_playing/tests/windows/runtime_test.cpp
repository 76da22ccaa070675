// The Runtime layer against the stand-in's classes: activation, and awaiting operations that
// complete at once, later on another thread, with an error, cancelled, or with failing results.
// (Operations with progress are awaited in the artwork adapter's tests.)
#include <windows.h>

#include <wrl/client.h>

#include <gtest/gtest.h>

#include "now_playing/tests/windows/media_standin.h"
#include "now_playing/windows/runtime/activation.h"
#include "now_playing/windows/runtime/await.h"
#include "now_playing/windows/runtime/media_control_abi.h"

namespace orvane::now_playing::testing {
namespace {

using Microsoft::WRL::ComPtr;
using namespace runtime::abi;

struct AwaitCase {
  MediaSessionCompletion completion;
  bool succeeds;
};

const AwaitCase kAwaitCases[] = {
    {MEDIA_COMPLETE_AT_ONCE, true},       {MEDIA_COMPLETE_LATER, true},
    {MEDIA_COMPLETE_ERROR, false},        {MEDIA_COMPLETE_CANCELED, false},
    {MEDIA_COMPLETE_RESULTS_FAIL, false},
};

class AwaitTest : public MediaStandin, public ::testing::WithParamInterface<AwaitCase> {};

TEST_P(AwaitTest, OperationWithoutProgress) {
  MediaSessionScript script = {};
  script.request = GetParam().completion;
  Script(script);
  ComPtr<IGlobalSystemMediaTransportControlsSessionManagerStatics> statics;
  ASSERT_EQ(runtime::GetActivationFactory(kSessionManagerClass, &statics), S_OK);
  ComPtr<IAsyncOperation<IGlobalSystemMediaTransportControlsSessionManager*>> operation;
  ASSERT_EQ(statics->RequestAsync(&operation), S_OK);
  ComPtr<IGlobalSystemMediaTransportControlsSessionManager> manager;
  const HRESULT hr = runtime::Await(operation, &manager);
  EXPECT_EQ(SUCCEEDED(hr), GetParam().succeeds) << std::hex << hr;
  EXPECT_EQ(manager != nullptr, GetParam().succeeds);
}

INSTANTIATE_TEST_SUITE_P(Completions, AwaitTest, ::testing::ValuesIn(kAwaitCases));

}  // namespace
}  // namespace orvane::now_playing::testing
