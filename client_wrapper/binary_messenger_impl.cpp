#include "client_wrapper/binary_messenger_impl.h"

#include <memory>
#include <utility>

#include "client_wrapper/error_line.h"

namespace orvane {

namespace {

// The state behind one incoming message's reply closure. Copies of the closure share it, so the
// message is answered at most once however often the closure was copied. It holds a library
// reference on the messenger until the last copy goes, so that a late answer still finds a valid
// handle (which may by then report itself unavailable).
class IncomingReply {
 public:
  IncomingReply(FlutterDesktopMessengerRef messenger,
                const FlutterDesktopMessageResponseHandle* response_handle)
      : messenger_(FlutterDesktopMessengerAddRef(messenger)), response_handle_(response_handle) {}
  ~IncomingReply() { FlutterDesktopMessengerRelease(messenger_); }

  IncomingReply(const IncomingReply&) = delete;
  IncomingReply& operator=(const IncomingReply&) = delete;

  // A second answer is reported, unless it is only the fallback for a failed handler.
  void Respond(const uint8_t* data, size_t data_size, bool report_duplicate = true) {
    FlutterDesktopMessengerRef locked = FlutterDesktopMessengerLock(messenger_);
    if (FlutterDesktopMessengerIsAvailable(messenger_)) {
      if (response_handle_ == nullptr) {
        if (report_duplicate) {
          WriteErrorLine("Error: Response can be set only once. Ignoring duplicate response.");
        }
      } else {
        FlutterDesktopMessengerSendResponse(messenger_, response_handle_, data, data_size);
        response_handle_ = nullptr;
      }
    }
    if (locked != nullptr) {
      FlutterDesktopMessengerUnlock(locked);
    }
  }

 private:
  FlutterDesktopMessengerRef messenger_;
  const FlutterDesktopMessageResponseHandle* response_handle_;
};

using StoredHandler = std::shared_ptr<MessageHandler>;

void DispatchIncomingMessage(FlutterDesktopMessengerRef messenger_handle,
                             const FlutterDesktopMessage* message, void* user_data) {
  // A reference of the call's own: a handler that removes or replaces its registration while it
  // runs (stopping a service) must not destroy itself and what it captured mid-call.
  const StoredHandler handler = *static_cast<StoredHandler*>(user_data);
  std::shared_ptr<IncomingReply> reply;
  try {
    reply = std::make_shared<IncomingReply>(messenger_handle, message->response_handle);
    ReplyCallback closure = [reply](const uint8_t* data, size_t data_size) {
      reply->Respond(data, data_size);
    };
    (*handler)(message->message, message->message_size, std::move(closure));
  } catch (...) {
    // Nothing may unwind into the library; the message still gets the empty answer.
    WriteCaughtExceptionLine("the handler of channel ",
                             message->channel != nullptr ? message->channel : "");
    if (reply) {
      reply->Respond(nullptr, 0, /*report_duplicate=*/false);
    } else {
      IncomingReply(messenger_handle, message->response_handle).Respond(nullptr, 0);
    }
  }
}

void DispatchReply(const uint8_t* data, size_t data_size, void* user_data) {
  std::unique_ptr<ReplyCallback> reply(static_cast<ReplyCallback*>(user_data));
  try {
    (*reply)(data, data_size);
  } catch (...) {
    WriteCaughtExceptionLine("a reply callback");
  }
}

}  // namespace

BinaryMessengerImpl::BinaryMessengerImpl(FlutterDesktopMessengerRef messenger_handle)
    : messenger_handle_(messenger_handle) {}

BinaryMessengerImpl::~BinaryMessengerImpl() = default;

void BinaryMessengerImpl::Send(const std::string& channel, const uint8_t* message,
                               size_t message_size, ReplyCallback reply) {
  if (messenger_handle_ == nullptr) {
    return;
  }
  if (!reply) {
    FlutterDesktopMessengerSend(messenger_handle_, channel.c_str(), message, message_size);
    return;
  }
  auto heap_reply = std::make_unique<ReplyCallback>(std::move(reply));
  if (FlutterDesktopMessengerSendWithReply(messenger_handle_, channel.c_str(), message,
                                           message_size, DispatchReply, heap_reply.get())) {
    // The library owns it now and hands it back to DispatchReply exactly once.
    heap_reply.release();
  }
}

void BinaryMessengerImpl::SetMessageHandler(const std::string& channel, MessageHandler handler) {
  if (!handler) {
    handlers_.erase(channel);
    if (messenger_handle_ != nullptr) {
      FlutterDesktopMessengerSetCallback(messenger_handle_, channel.c_str(), nullptr, nullptr);
    }
    return;
  }
  // A new object rather than an assignment: a handler replacing itself keeps running.
  StoredHandler& stored = handlers_[channel];
  stored = std::make_shared<MessageHandler>(std::move(handler));
  if (messenger_handle_ != nullptr) {
    FlutterDesktopMessengerSetCallback(messenger_handle_, channel.c_str(), DispatchIncomingMessage,
                                       &stored);
  }
}

}  // namespace orvane
