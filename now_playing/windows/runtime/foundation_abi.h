#pragma once

// The parameterised asynchronous-operation interfaces of Windows.Foundation. The platform headers
// of the cross compiler carry only a few instances of them, so the layer declares the templates
// itself; each instance's identifiers are given next to its result type (AsyncIids).
#include <windows.h>

#include <asyncinfo.h>
#include <inspectable.h>

#include "now_playing/windows/runtime/interface_id.h"

namespace orvane::runtime::abi {

#if defined(_MSC_VER)
using AsyncInfo = ABI::Windows::Foundation::IAsyncInfo;
using AsyncStatus = ABI::Windows::Foundation::AsyncStatus;
#else
using AsyncInfo = ::IAsyncInfo;
using AsyncStatus = ::AsyncStatus;
#endif
constexpr AsyncStatus kAsyncStarted = static_cast<AsyncStatus>(0);
constexpr AsyncStatus kAsyncCompleted = static_cast<AsyncStatus>(1);
constexpr AsyncStatus kAsyncCanceled = static_cast<AsyncStatus>(2);
constexpr AsyncStatus kAsyncError = static_cast<AsyncStatus>(3);

// Specialised for every operation type in use: `operation` and `handler` are the IIDs of the
// operation instance and of its completion handler.
template <class Operation>
struct AsyncIids;

template <class Result>
struct IAsyncOperation;

template <class Result>
struct AsyncOperationCompletedHandler : IUnknown {
  static const IID& Iid() { return AsyncIids<IAsyncOperation<Result>>::handler; }
  virtual HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperation<Result>* operation,
                                           AsyncStatus status) = 0;
};

template <class Result>
struct IAsyncOperation : IInspectable {
  using Handler = AsyncOperationCompletedHandler<Result>;
  using ResultType = Result;
  static const IID& Iid() { return AsyncIids<IAsyncOperation>::operation; }
  virtual HRESULT STDMETHODCALLTYPE put_Completed(Handler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(Handler** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(Result* results) = 0;
};

template <class Result, class Progress>
struct IAsyncOperationWithProgress;

template <class Result, class Progress>
struct AsyncOperationProgressHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperationWithProgress<Result, Progress>* operation,
                                           Progress progress) = 0;
};

template <class Result, class Progress>
struct AsyncOperationWithProgressCompletedHandler : IUnknown {
  static const IID& Iid() {
    return AsyncIids<IAsyncOperationWithProgress<Result, Progress>>::handler;
  }
  virtual HRESULT STDMETHODCALLTYPE Invoke(IAsyncOperationWithProgress<Result, Progress>* operation,
                                           AsyncStatus status) = 0;
};

template <class Result, class Progress>
struct IAsyncOperationWithProgress : IInspectable {
  using Handler = AsyncOperationWithProgressCompletedHandler<Result, Progress>;
  using ResultType = Result;
  static const IID& Iid() { return AsyncIids<IAsyncOperationWithProgress>::operation; }
  virtual HRESULT STDMETHODCALLTYPE
  put_Progress(AsyncOperationProgressHandler<Result, Progress>* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_Progress(AsyncOperationProgressHandler<Result, Progress>** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Completed(Handler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(Handler** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(Result* results) = 0;
};

}  // namespace orvane::runtime::abi
