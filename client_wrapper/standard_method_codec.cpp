#include "client_wrapper/standard_method_codec.h"

#include <map>
#include <mutex>
#include <utility>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/error_line.h"

namespace orvane {

namespace {

enum Envelope : uint8_t { kSuccess = 0, kError = 1 };

// Writes the value, or a null for none, without copying the value.
void WriteOptionalValue(const StandardCodecSerializer& serializer, const EncodableValue* value,
                        ByteStreamWriter* writer) {
  if (value != nullptr) {
    serializer.WriteValue(*value, writer);
  } else {
    serializer.WriteValue(EncodableValue(), writer);
  }
}

// One codec per serializer, handed out by Instance.
struct CodecRegistry {
  std::mutex mutex;
  std::map<const StandardCodecSerializer*, std::unique_ptr<StandardMethodCodec>> codecs;
};

}  // namespace

const StandardMethodCodec& StandardMethodCodec::Instance(
    const StandardCodecSerializer* serializer) {
  if (serializer == nullptr) {
    serializer = &StandardCodecSerializer::Instance();
  }
  // Never torn down: codecs handed out stay valid during static destruction.
  static auto* registry = new CodecRegistry();
  std::lock_guard<std::mutex> lock(registry->mutex);
  std::unique_ptr<StandardMethodCodec>& codec = registry->codecs[serializer];
  if (!codec) {
    codec = std::make_unique<StandardMethodCodec>(serializer);
  }
  return *codec;
}

StandardMethodCodec::StandardMethodCodec(const StandardCodecSerializer* serializer)
    : serializer_(serializer) {}

StandardMethodCodec::~StandardMethodCodec() = default;

std::unique_ptr<MethodCall> StandardMethodCodec::DecodeMethodCall(const uint8_t* message,
                                                                  size_t message_size) const {
  ByteBufferStreamReader reader(message, message_size);
  EncodableValue name = serializer_->ReadValue(&reader);
  const std::string* method_name = name.TryGet<std::string>();
  if (method_name == nullptr) {
    WriteErrorLine("Invalid method call; method name is not a string.");
    return nullptr;
  }
  auto arguments = std::make_unique<EncodableValue>(serializer_->ReadValue(&reader));
  return std::make_unique<MethodCall>(*method_name, std::move(arguments));
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeMethodCall(
    const MethodCall& method_call) const {
  auto encoded = std::make_unique<std::vector<uint8_t>>();
  ByteBufferStreamWriter writer(encoded.get());
  serializer_->WriteValue(EncodableValue(method_call.method_name()), &writer);
  WriteOptionalValue(*serializer_, method_call.arguments(), &writer);
  return encoded;
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeSuccessEnvelope(
    const EncodableValue* result) const {
  auto encoded = std::make_unique<std::vector<uint8_t>>();
  ByteBufferStreamWriter writer(encoded.get());
  writer.WriteByte(kSuccess);
  WriteOptionalValue(*serializer_, result, &writer);
  return encoded;
}

std::unique_ptr<std::vector<uint8_t>> StandardMethodCodec::EncodeErrorEnvelope(
    const std::string& error_code, const std::string& error_message,
    const EncodableValue* error_details) const {
  auto encoded = std::make_unique<std::vector<uint8_t>>();
  ByteBufferStreamWriter writer(encoded.get());
  writer.WriteByte(kError);
  serializer_->WriteValue(EncodableValue(error_code), &writer);
  serializer_->WriteValue(error_message.empty() ? EncodableValue() : EncodableValue(error_message),
                          &writer);
  WriteOptionalValue(*serializer_, error_details, &writer);
  return encoded;
}

bool StandardMethodCodec::DecodeResponseEnvelope(const uint8_t* response, size_t response_size,
                                                 MethodResult* result) const {
  ByteBufferStreamReader reader(response, response_size);
  uint8_t envelope = reader.ReadByte();
  if (envelope == kSuccess) {
    EncodableValue value = serializer_->ReadValue(&reader);
    result->Success(value.IsNull() ? nullptr : &value);
    return true;
  }
  if (envelope != kError) {
    return false;
  }
  EncodableValue code = serializer_->ReadValue(&reader);
  EncodableValue message = serializer_->ReadValue(&reader);
  EncodableValue details = serializer_->ReadValue(&reader);
  const std::string* code_string = code.TryGet<std::string>();
  const std::string* message_string = message.TryGet<std::string>();
  if (code_string == nullptr || (message_string == nullptr && !message.IsNull())) {
    return false;
  }
  result->Error(*code_string, message_string != nullptr ? *message_string : std::string(),
                details.IsNull() ? nullptr : &details);
  return true;
}

}  // namespace orvane
