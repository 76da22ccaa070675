#pragma once

// Blocking wait for an asynchronous Runtime operation (IAsyncOperation<T> or
// IAsyncOperationWithProgress<T, P>), without a time limit unless the caller stops. The completion
// handler is agile, so the operation may call it on any thread; the waiting thread blocks on an
// event that the handler owns, so a late call finds it still there.
#include <windows.h>

#include <objidl.h>
#include <wrl/client.h>

#include <atomic>
#include <type_traits>

#include "now_playing/windows/runtime/com_ptr.h"
#include "now_playing/windows/runtime/foundation_abi.h"
#include "now_playing/windows/runtime/holders.h"
#include "now_playing/windows/runtime/interface_id.h"

namespace orvane::runtime {

template <class Operation>
class CompletionHandler final : public Operation::Handler {
 public:
  using Handler = typename Operation::Handler;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, Handler::Iid()) ||
        IsEqualIID(iid, __uuidof(IAgileObject))) {
      *object = static_cast<Handler*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Invoke(Operation*, abi::AsyncStatus) override {
    SetEvent(completed_.Get());
    return S_OK;
  }

  HANDLE completed() const { return completed_.Get(); }

 private:
  ~CompletionHandler() = default;

  std::atomic<ULONG> references_{1};
  Event completed_;
};

// The failure that the last platform call left behind, as an HRESULT. E_FAIL when it left none:
// a failed call must not turn into S_OK.
inline HRESULT LastErrorResult() noexcept {
  const DWORD error = GetLastError();
  return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// Blocks until `completed` is signalled or, before that, `stop` (when there is one), then tells
// how `operation` ended: S_OK when it completed, E_ABORT when it was cancelled or given up for the
// stop, else its error. The same for every operation type.
inline HRESULT WaitForOutcome(HANDLE completed, HANDLE stop, IUnknown* operation) noexcept {
  const HANDLE events[] = {completed, stop};
  const DWORD waited = WaitForMultipleObjects(stop != nullptr ? 2 : 1, events, FALSE, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_OBJECT_0 + 1) return LastErrorResult();
  Microsoft::WRL::ComPtr<abi::AsyncInfo> info;
  HRESULT hr = operation->QueryInterface(__uuidof(abi::AsyncInfo), &info);
  if (waited == WAIT_OBJECT_0 + 1) {
    // The operation may still complete later: it holds its own reference to the handler.
    if (SUCCEEDED(hr)) info->Cancel();
    return E_ABORT;
  }
  if (FAILED(hr)) return hr;
  abi::AsyncStatus status = abi::kAsyncStarted;
  hr = info->get_Status(&status);
  if (FAILED(hr)) return hr;
  if (status == abi::kAsyncCompleted) return S_OK;
  if (status == abi::kAsyncCanceled) return E_ABORT;
  HRESULT error = E_FAIL;
  return SUCCEEDED(info->get_ErrorCode(&error)) && FAILED(error) ? error : E_FAIL;
}

// Waits until `operation` completes and takes its results, or gives it up once `stop` (an event;
// may be null) is set. Cancellation, completion with an error and failing results are all
// failures (the HRESULT of the failure, or E_ABORT for a cancelled operation). A result may be
// null.
template <class Operation>
HRESULT Await(const Microsoft::WRL::ComPtr<Operation>& operation,
              Microsoft::WRL::ComPtr<std::remove_pointer_t<typename Operation::ResultType>>* result,
              HANDLE stop) {
  if (!operation) return E_POINTER;
  const auto handler = Adopt(new CompletionHandler<Operation>());
  if (handler->completed() == nullptr) return LastErrorResult();
  HRESULT hr = operation->put_Completed(handler.Get());
  if (SUCCEEDED(hr)) hr = WaitForOutcome(handler->completed(), stop, operation.Get());
  if (FAILED(hr)) return hr;
  return operation->GetResults(result->ReleaseAndGetAddressOf());
}

}  // namespace orvane::runtime
