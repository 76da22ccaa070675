#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace orvane {

// Answers one incoming message, or receives the answer to one sent message. No bytes (and a count
// of 0) is the not-implemented answer.
using ReplyCallback = std::function<void(const uint8_t* reply, size_t reply_size)>;

// Handles the raw bytes of one incoming message; the reply may be kept and used later.
using MessageHandler =
    std::function<void(const uint8_t* message, size_t message_size, ReplyCallback reply)>;

// Byte-level channel messaging with the UI program.
class BinaryMessenger {
 public:
  virtual ~BinaryMessenger() = default;

  // An empty reply sends without asking for an answer.
  virtual void Send(const std::string& channel, const uint8_t* message, size_t message_size,
                    ReplyCallback reply) = 0;

  // Replaces the channel's handler; an empty handler removes the registration.
  virtual void SetMessageHandler(const std::string& channel, MessageHandler handler) = 0;
};

}  // namespace orvane
