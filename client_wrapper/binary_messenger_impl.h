#pragma once

#include <map>
#include <memory>
#include <string>

#include "client_wrapper/binary_messenger.h"
#include "client_wrapper/flutter_windows.h"

namespace orvane {

// The messenger over the engine library's messenger handle (not owned, not reference-counted
// here). Registration and delivery happen on the engine's window thread; nothing is locked.
class BinaryMessengerImpl : public BinaryMessenger {
 public:
  // A none handle (the engine could not be created) keeps registrations but calls nothing.
  explicit BinaryMessengerImpl(FlutterDesktopMessengerRef messenger_handle);
  // Frees the handlers only: the engine is gone (or going) by now, so nothing is unregistered.
  ~BinaryMessengerImpl() override;

  BinaryMessengerImpl(const BinaryMessengerImpl&) = delete;
  BinaryMessengerImpl& operator=(const BinaryMessengerImpl&) = delete;

  void Send(const std::string& channel, const uint8_t* message, size_t message_size,
            ReplyCallback reply) override;
  void SetMessageHandler(const std::string& channel, MessageHandler handler) override;

 private:
  FlutterDesktopMessengerRef messenger_handle_;
  // Map nodes never move: the address of a channel's entry is the library's user data for it.
  // Each handler is shared with the deliveries running it.
  std::map<std::string, std::shared_ptr<MessageHandler>> handlers_;
};

}  // namespace orvane
