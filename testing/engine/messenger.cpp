// Channel messages both ways, responses, and the messenger's references and lock.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "testing/engine/standin_state.h"

using orvane::testing::ChannelCallback;
using orvane::testing::LiveEngineMessengerLocked;
using orvane::testing::LiveLocked;
using orvane::testing::LockedState;
using orvane::testing::PendingReply;
using orvane::testing::RecordViolationLocked;
using orvane::testing::StandinState;
using orvane::testing::State;

namespace {

std::vector<uint8_t> CopyBytes(const uint8_t* data, size_t size) {
  return data != nullptr ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

bool SendLocked(StandinState& state, FlutterDesktopMessengerRef messenger, const char* function,
                const char* channel, const uint8_t* message, size_t message_size,
                FlutterDesktopBinaryReply reply, void* user_data) {
  if (LiveEngineMessengerLocked(state, messenger, function) == nullptr) {
    return false;
  }
  orvane::testing::SentMessage sent;
  sent.channel = channel != nullptr ? channel : "";
  sent.bytes = CopyBytes(message, message_size);
  sent.with_reply = reply != nullptr;
  sent.accepted = !(sent.with_reply && state.send_with_reply_refused);
  if (sent.with_reply && sent.accepted) {
    state.pending_replies[state.record.sent.size()] = PendingReply{reply, user_data};
  }
  state.record.sent.push_back(sent);
  return sent.accepted;
}

// With `mutex` held: whether the calling thread holds the messenger lock.
bool HoldsMessengerLockLocked(const StandinState& state) {
  return state.messenger_lock_depth > 0 && state.messenger_lock_owner == std::this_thread::get_id();
}

}  // namespace

extern "C" {

bool FlutterDesktopMessengerSend(FlutterDesktopMessengerRef messenger, const char* channel,
                                 const uint8_t* message, size_t message_size) {
  auto [state, lock] = LockedState();
  return SendLocked(state, messenger, __func__, channel, message, message_size, nullptr, nullptr);
}

bool FlutterDesktopMessengerSendWithReply(FlutterDesktopMessengerRef messenger, const char* channel,
                                          const uint8_t* message, size_t message_size,
                                          FlutterDesktopBinaryReply reply, void* user_data) {
  auto [state, lock] = LockedState();
  return SendLocked(state, messenger, __func__, channel, message, message_size, reply, user_data);
}

void FlutterDesktopMessengerSendResponse(FlutterDesktopMessengerRef messenger,
                                         const FlutterDesktopMessageResponseHandle* handle,
                                         const uint8_t* data, size_t data_length) {
  auto [state, lock] = LockedState();
  LiveEngineMessengerLocked(state, messenger, __func__);
  // Answers race with the engine going away unless they hold the lock.
  if (!HoldsMessengerLockLocked(state)) {
    RecordViolationLocked(state, std::string(__func__) + ": without the messenger lock");
  }
  // A response handle is good for one response: the library frees it with the first.
  auto pending = std::find_if(state.response_handles.begin(), state.response_handles.end(),
                              [handle](const auto& issued) { return issued.get() == handle; });
  if (pending == state.response_handles.end() || (*pending)->answered) {
    RecordViolationLocked(state, std::string(__func__) + ": response handle not pending");
  } else {
    (*pending)->answered = true;
  }
  orvane::testing::Response response;
  response.message_id = handle != nullptr ? handle->message_id : 0;
  response.data_present = data != nullptr;
  response.bytes = CopyBytes(data, data_length);
  state.record.responses.push_back(response);
}

void FlutterDesktopMessengerSetCallback(FlutterDesktopMessengerRef messenger, const char* channel,
                                        FlutterDesktopMessageCallback callback, void* user_data) {
  auto [state, lock] = LockedState();
  if (LiveEngineMessengerLocked(state, messenger, __func__) == nullptr) {
    return;
  }
  ++state.record.callback_registrations;
  const std::string name = channel != nullptr ? channel : "";
  if (callback == nullptr) {
    state.channels.erase(name);
  } else {
    state.channels[name] = ChannelCallback{callback, user_data};
  }
  state.record.registered_channels.clear();
  for (const auto& channel : state.channels) {
    state.record.registered_channels.push_back(channel.first);
  }
}

FlutterDesktopMessengerRef FlutterDesktopMessengerAddRef(FlutterDesktopMessengerRef messenger) {
  auto [state, lock] = LockedState();
  ++state.record.messenger_add_refs;
  FlutterDesktopMessenger* live = LiveLocked(state, state.messengers, messenger, __func__);
  if (live != nullptr) {
    ++live->references;
  }
  return messenger;
}

void FlutterDesktopMessengerRelease(FlutterDesktopMessengerRef messenger) {
  auto [state, lock] = LockedState();
  ++state.record.messenger_releases;
  if (LiveLocked(state, state.messengers, messenger, __func__) != nullptr) {
    orvane::testing::ReleaseMessengerLocked(state, messenger);
  }
}

bool FlutterDesktopMessengerIsAvailable(FlutterDesktopMessengerRef messenger) {
  auto [state, lock] = LockedState();
  FlutterDesktopMessenger* live = LiveLocked(state, state.messengers, messenger, __func__);
  return live != nullptr && live->engine_alive;
}

FlutterDesktopMessengerRef FlutterDesktopMessengerLock(FlutterDesktopMessengerRef messenger) {
  // A lock that another thread never gives back would block for ever: after a while the caller
  // goes on without it, noted, so that the test fails instead of hanging. The lock is tried once
  // more after the time is found to be up, so that a waiter that was itself held up (a loaded
  // machine) does not blame a holder that has long let go.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  bool taken = false;
  for (bool late = false; !(taken = State().messenger_lock.try_lock()) && !late;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    late = std::chrono::steady_clock::now() >= until;
  }
  auto [state, lock] = LockedState();
  ++state.record.messenger_locks;
  LiveLocked(state, state.messengers, messenger, __func__);
  if (!taken) {
    RecordViolationLocked(state, std::string(__func__) + ": held by another thread for 5 s");
    return messenger;
  }
  // The library's lock is not recursive: taking it again on the same thread would deadlock.
  if (HoldsMessengerLockLocked(state)) {
    RecordViolationLocked(state, std::string(__func__) + ": lock already held by this thread");
  }
  state.messenger_lock_owner = std::this_thread::get_id();
  ++state.messenger_lock_depth;
  return messenger;
}

void FlutterDesktopMessengerUnlock(FlutterDesktopMessengerRef messenger) {
  StandinState& state = State();
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    ++state.record.messenger_unlocks;
    LiveLocked(state, state.messengers, messenger, __func__);
    if (!HoldsMessengerLockLocked(state)) {
      RecordViolationLocked(state, std::string(__func__) + ": lock not held by this thread");
      return;
    }
    if (--state.messenger_lock_depth == 0) {
      state.messenger_lock_owner = std::thread::id();
    }
  }
  state.messenger_lock.unlock();
}

}  // extern "C"

namespace orvane::testing {

Delivery DeliverMessage(const std::string& channel, const std::vector<uint8_t>& message) {
  ChannelCallback target;
  FlutterDesktopMessengerRef messenger = nullptr;
  FlutterDesktopMessageResponseHandle* handle = nullptr;
  Delivery delivery;
  {
    auto [state, lock] = LockedState();
    auto found = state.channels.find(channel);
    if (found == state.channels.end() || state.engines.empty()) {
      return delivery;
    }
    target = found->second;
    messenger = state.engines.begin()->second->messenger;
    state.response_handles.push_back(std::make_unique<FlutterDesktopMessageResponseHandle>());
    handle = state.response_handles.back().get();
    handle->message_id = state.next_message_id++;
    delivery.delivered = true;
    delivery.message_id = handle->message_id;
  }
  // The record lives only for the call, as the library's does.
  FlutterDesktopMessage record = {};
  record.struct_size = sizeof(record);
  record.channel = channel.c_str();
  record.message = message.empty() ? nullptr : message.data();
  record.message_size = message.size();
  record.response_handle = handle;
  target.callback(messenger, &record, target.user_data);
  delivery.responses = ResponsesTo(delivery.message_id);
  return delivery;
}

std::vector<Response> ResponsesTo(uint64_t message_id) {
  auto [state, lock] = LockedState();
  std::vector<Response> responses;
  for (const Response& response : state.record.responses) {
    if (response.message_id == message_id) {
      responses.push_back(response);
    }
  }
  return responses;
}

bool ReplyToSent(size_t index, const std::vector<uint8_t>& reply) {
  PendingReply pending;
  {
    auto [state, lock] = LockedState();
    auto found = state.pending_replies.find(index);
    if (found == state.pending_replies.end()) {
      return false;
    }
    pending = found->second;
    state.pending_replies.erase(found);
  }
  pending.reply(reply.empty() ? nullptr : reply.data(), reply.size(), pending.user_data);
  return true;
}

}  // namespace orvane::testing
