#pragma once

// An asynchronous operation of the stand-in: it ends as its script says (at once, later on a
// thread of its own, with an error, cancelled, with failing results, or only once cancelled) and
// checks that its caller behaves as the platform demands (one agile handler of the right type,
// results only after a successful completion, the handler kept by the operation until it goes).
#include <windows.h>

#include <objidl.h>
#include <wrl/client.h>

#include <mutex>
#include <type_traits>

#include "now_playing/windows/runtime/com_ptr.h"
#include "now_playing/windows/runtime/foundation_abi.h"
#include "testing/media_session/standin_state.h"

namespace orvane::testing::media_session {

namespace abi = orvane::runtime::abi;

// The progress slots of operations that have them; nothing here reports progress.
template <class Operation>
struct ProgressSlots : Operation {};

template <class Result, class Progress>
struct ProgressSlots<abi::IAsyncOperationWithProgress<Result, Progress>>
    : abi::IAsyncOperationWithProgress<Result, Progress> {
  HRESULT STDMETHODCALLTYPE
  put_Progress(abi::AsyncOperationProgressHandler<Result, Progress>*) override {
    RecordUnexpected();
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  get_Progress(abi::AsyncOperationProgressHandler<Result, Progress>**) override {
    RecordUnexpected();
    return E_NOTIMPL;
  }
};

template <class Operation>
class AsyncOperation final : public Object<Counted, ProgressSlots<Operation>, abi::AsyncInfo> {
 public:
  using Result = std::remove_pointer_t<typename Operation::ResultType>;
  using Handler = typename Operation::Handler;

  AsyncOperation(MediaSessionCompletion completion, Microsoft::WRL::ComPtr<Result> result)
      : completion_(completion),
        status_(completion == MEDIA_COMPLETE_LATER || completion == MEDIA_COMPLETE_NEVER
                    ? abi::kAsyncStarted
                : completion == MEDIA_COMPLETE_ERROR || completion == MEDIA_COMPLETE_ERROR_NO_CODE
                    ? abi::kAsyncError
                : completion == MEDIA_COMPLETE_CANCELED ? abi::kAsyncCanceled
                                                        : abi::kAsyncCompleted),
        result_(std::move(result)) {}

  HRESULT STDMETHODCALLTYPE put_Completed(Handler* handler) override {
    if (!this->Enter("put_Completed")) return E_UNEXPECTED;
    if (!AnswersAsTheSystemAsks(handler)) {
      RecordUnexpected();
      return E_INVALIDARG;
    }
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (handler_) {
        RecordUnexpected();
        return static_cast<HRESULT>(0x80000018);  // E_ILLEGAL_DELEGATE_ASSIGNMENT
      }
      handler_ = handler;
    }
    if (completion_ == MEDIA_COMPLETE_NEVER) {
      Report("stuck");
    } else if (completion_ == MEDIA_COMPLETE_LATER) {
      CompleteLater(abi::kAsyncCompleted, 0);
    } else {
      Complete();
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Completed(Handler**) override { return this->Unexpected(); }
  HRESULT STDMETHODCALLTYPE GetResults(typename Operation::ResultType* results) override {
    if (!this->Enter("GetResults") || results == nullptr) return E_UNEXPECTED;
    *results = nullptr;
    std::lock_guard<std::mutex> hold(lock_);
    if (status_ != abi::kAsyncCompleted) {
      RecordUnexpected();
      return static_cast<HRESULT>(0x8000000E);  // E_ILLEGAL_METHOD_CALL
    }
    Microsoft::WRL::ComPtr<Result> copy = result_;
    *results = copy.Detach();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override {
    return this->Get(nullptr, id, [] { return 1u; });
  }
  HRESULT STDMETHODCALLTYPE get_Status(abi::AsyncStatus* status) override {
    return this->Get("get_Status", status, [&] {
      std::lock_guard<std::mutex> hold(lock_);
      return status_;
    });
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* error) override {
    return this->Get("get_ErrorCode", error, [&] {
      std::lock_guard<std::mutex> hold(lock_);
      return status_ == abi::kAsyncError && completion_ == MEDIA_COMPLETE_ERROR ? E_FAIL : S_OK;
    });
  }
  // Long enough for the waiter to have given the operation up before its handler runs.
  static constexpr DWORD kLateCancellation = 100;

  HRESULT STDMETHODCALLTYPE Cancel() override {
    if (!this->Enter("Cancel")) return E_UNEXPECTED;
    RecordCancel();
    std::lock_guard<std::mutex> hold(lock_);
    // Cancelling what has ended already changes nothing.
    if (completion_ == MEDIA_COMPLETE_NEVER && status_ == abi::kAsyncStarted && !cancelling_) {
      cancelling_ = true;
      CompleteLater(abi::kAsyncCanceled, kLateCancellation);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override { return this->Enter(nullptr) ? S_OK : E_UNEXPECTED; }

 private:
  // An agile handler of the right type, whose QueryInterface keeps the rules for the other
  // interfaces the system may ask for and for a missing out-parameter.
  static bool AnswersAsTheSystemAsks(Handler* handler) {
    Microsoft::WRL::ComPtr<IUnknown> typed, agile, unknown;
    void* marshal = handler;
    return handler != nullptr && SUCCEEDED(handler->QueryInterface(Handler::Iid(), &typed)) &&
           SUCCEEDED(handler->QueryInterface(__uuidof(IAgileObject), &agile)) &&
           SUCCEEDED(handler->QueryInterface(__uuidof(IUnknown), &unknown)) &&
           handler->QueryInterface(__uuidof(IMarshal), &marshal) == E_NOINTERFACE &&
           marshal == nullptr && handler->QueryInterface(Handler::Iid(), nullptr) == E_POINTER;
  }
  // Completes with `status` on a thread of the stand-in's own, after `delay` ms.
  void CompleteLater(abi::AsyncStatus status, DWORD delay) {
    Microsoft::WRL::ComPtr<AsyncOperation> self(this);
    RunLater([self, status, delay] {
      Sleep(delay);
      {
        std::lock_guard<std::mutex> hold(self->lock_);
        self->status_ = status;
      }
      self->Complete();
    });
  }
  // Calls the handler once with the final status. The handler is kept until the operation goes.
  void Complete() {
    Microsoft::WRL::ComPtr<Handler> handler;
    abi::AsyncStatus status;
    {
      std::lock_guard<std::mutex> hold(lock_);
      handler = handler_;
      status = status_;
    }
    handler->Invoke(this, status);
  }
  // The waiter is done with the operation by now: a handler that outlives this last reference
  // to it was leaked.
  void OnFinalRelease() override {
    Microsoft::WRL::ComPtr<Handler> handler;
    Microsoft::WRL::ComPtr<Result> result;
    {
      std::lock_guard<std::mutex> hold(lock_);
      handler.Swap(handler_);
      result.Swap(result_);
    }
    if (handler && handler.Reset() != 0) RecordUnexpected();
  }

  const MediaSessionCompletion completion_;
  std::mutex lock_;
  abi::AsyncStatus status_;
  bool cancelling_ = false;
  Microsoft::WRL::ComPtr<Handler> handler_;
  Microsoft::WRL::ComPtr<Result> result_;
};

// A new operation as a ComPtr of its interface.
template <class Operation, class Result>
Microsoft::WRL::ComPtr<Operation> MakeOperation(MediaSessionCompletion completion,
                                                Microsoft::WRL::ComPtr<Result> result) {
  if (completion == MEDIA_COMPLETE_NO_OPERATION) return nullptr;
  return runtime::Adopt<Operation>(new AsyncOperation<Operation>(completion, std::move(result)));
}

}  // namespace orvane::testing::media_session
