#include "client_wrapper/binary_messenger_impl.h"

#include <memory>
#include <utility>

#include "client_wrapper/error_line.h"

namespace orvane {

namespace {

// The state behind one incoming message's reply closure. Copies of the closure share it, so the
// message is answered at most once however often the closure was copied.
struct IncomingReply {
  // A library reference on the messenger, released when the last copy of the closure goes, so that
  // a late answer still finds a valid handle (which may by then report itself unavailable).
  std::shared_ptr<FlutterDesktopMessenger> messenger;
  const FlutterDesktopMessageResponseHandle* response_handle;

  void Respond(const uint8_t* data, size_t data_size) {
    FlutterDesktopMessengerRef locked = FlutterDesktopMessengerLock(messenger.get());
    if (FlutterDesktopMessengerIsAvailable(messenger.get())) {
      if (response_handle == nullptr) {
        WriteErrorLine("Error: Response can be set only once. Ignoring duplicate response.");
      } else {
        FlutterDesktopMessengerSendResponse(messenger.get(), response_handle, data, data_size);
        response_handle = nullptr;
      }
    }
    if (locked != nullptr) {
      FlutterDesktopMessengerUnlock(locked);
    }
  }
};

void DispatchIncomingMessage(FlutterDesktopMessengerRef messenger_handle,
                             const FlutterDesktopMessage* message, void* user_data) {
  auto* handler = static_cast<MessageHandler*>(user_data);
  auto reply = std::make_shared<IncomingReply>();
  reply->response_handle = message->response_handle;
  reply->messenger = std::shared_ptr<FlutterDesktopMessenger>(
      FlutterDesktopMessengerAddRef(messenger_handle), FlutterDesktopMessengerRelease);
  ReplyCallback closure = [reply](const uint8_t* data, size_t data_size) {
    reply->Respond(data, data_size);
  };
  reply.reset();
  (*handler)(message->message, message->message_size, std::move(closure));
}

void DispatchReply(const uint8_t* data, size_t data_size, void* user_data) {
  std::unique_ptr<ReplyCallback> reply(static_cast<ReplyCallback*>(user_data));
  (*reply)(data, data_size);
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
  MessageHandler& stored = handlers_[channel];
  stored = std::move(handler);
  if (messenger_handle_ != nullptr) {
    FlutterDesktopMessengerSetCallback(messenger_handle_, channel.c_str(), DispatchIncomingMessage,
                                       &stored);
  }
}

}  // namespace orvane
