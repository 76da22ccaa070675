#include "client_wrapper/standard_codec_serializer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "client_wrapper/byte_buffer_streams.h"
#include "client_wrapper/error_line.h"

namespace orvane {

namespace {

enum Tag : uint8_t {
  kNull = 0,
  kTrue = 1,
  kFalse = 2,
  kInt32 = 3,
  kInt64 = 4,
  kLegacyString = 5,
  kDouble = 6,
  kString = 7,
  kUint8List = 8,
  kInt32List = 9,
  kInt64List = 10,
  kDoubleList = 11,
  kList = 12,
  kMap = 13,
  kFloatList = 14,
};

constexpr uint8_t kLastTag = kFloatList;

// How many lists and maps are being read on this thread; bounds the recursion.
thread_local int reading_depth = 0;

class NestingGuard {
 public:
  NestingGuard() { ++reading_depth; }
  ~NestingGuard() { --reading_depth; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
};

template <typename T>
void WriteNumber(T number, ByteStreamWriter* writer) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &number, sizeof(T));
  writer->WriteBytes(bytes, sizeof(T));
}

template <typename T>
T ReadNumber(ByteStreamReader* reader) {
  uint8_t bytes[sizeof(T)] = {};
  reader->ReadBytes(bytes, sizeof(T));
  T number;
  std::memcpy(&number, bytes, sizeof(T));
  return number;
}

template <typename T>
void WriteNumberList(const std::vector<T>& list, ByteStreamWriter* writer) {
  WriteSize(list.size(), writer);
  writer->WriteAlignment(static_cast<uint8_t>(sizeof(T)));
  if (!list.empty()) {
    writer->WriteBytes(reinterpret_cast<const uint8_t*>(list.data()), list.size() * sizeof(T));
  }
}

std::string MakeRun(const uint8_t* bytes, size_t count, std::string*) {
  return std::string(reinterpret_cast<const char*>(bytes), count);
}

std::vector<uint8_t> MakeRun(const uint8_t* bytes, size_t count, std::vector<uint8_t>*) {
  return std::vector<uint8_t>(bytes, bytes + count);
}

// Strings and byte lists: `count` bytes copied once straight from the message, or the
// short-read outcome.
template <typename Container>
Container ReadByteRun(ByteStreamReader* reader) {
  uint32_t count = ReadSize(reader);
  if (const uint8_t* bytes = reader->ReadInPlace(count)) {
    return MakeRun(bytes, count, static_cast<Container*>(nullptr));
  }
  ReportInvalidRead();
  if (count > StandardCodecSerializer::kShortReadFillLimit) {
    return Container();
  }
  return Container(count, 0);
}

template <typename T>
std::vector<T> ReadNumberList(ByteStreamReader* reader) {
  uint32_t count = ReadSize(reader);
  reader->ReadAlignment(static_cast<uint8_t>(sizeof(T)));
  uint64_t length = static_cast<uint64_t>(count) * sizeof(T);
  if (length > reader->RemainingBytes() && length > StandardCodecSerializer::kShortReadFillLimit) {
    ReportInvalidRead();
    return std::vector<T>();
  }
  std::vector<T> list(count);
  reader->ReadBytes(reinterpret_cast<uint8_t*>(list.data()), static_cast<size_t>(length));
  return list;
}

bool FitsSizeField(size_t size) { return size <= std::numeric_limits<uint32_t>::max(); }

// The size of a length-prefixed alternative, or 0 for the others.
size_t SizeOf(const EncodableValue& value) {
  return std::visit(
      [](const auto& held) -> size_t {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, EncodableList> ||
                      std::is_same_v<T, EncodableMap> || std::is_same_v<T, std::vector<uint8_t>> ||
                      std::is_same_v<T, std::vector<int32_t>> ||
                      std::is_same_v<T, std::vector<int64_t>> ||
                      std::is_same_v<T, std::vector<double>> ||
                      std::is_same_v<T, std::vector<float>>) {
          return held.size();
        } else {
          return 0;
        }
      },
      value.variant());
}

}  // namespace

void WriteSize(size_t size, ByteStreamWriter* writer) {
  if (size < 254) {
    writer->WriteByte(static_cast<uint8_t>(size));
  } else if (size <= 0xFFFF) {
    writer->WriteByte(254);
    WriteNumber(static_cast<uint16_t>(size), writer);
  } else {
    writer->WriteByte(255);
    WriteNumber(static_cast<uint32_t>(size), writer);
  }
}

uint32_t ReadSize(ByteStreamReader* reader) {
  uint8_t byte = reader->ReadByte();
  if (byte < 254) {
    return byte;
  }
  if (byte == 254) {
    return ReadNumber<uint16_t>(reader);
  }
  return ReadNumber<uint32_t>(reader);
}

const StandardCodecSerializer& StandardCodecSerializer::Instance() {
  static const StandardCodecSerializer instance;
  return instance;
}

StandardCodecSerializer::StandardCodecSerializer() = default;

StandardCodecSerializer::~StandardCodecSerializer() = default;

EncodableValue StandardCodecSerializer::ReadValue(ByteStreamReader* reader) const {
  uint8_t type = reader->ReadByte();
  return ReadValueOfType(type, reader);
}

void StandardCodecSerializer::WriteValue(const EncodableValue& value,
                                         ByteStreamWriter* writer) const {
  if (!FitsSizeField(SizeOf(value))) {
    // Cannot be described on the wire: a null keeps the message well-formed.
    WriteErrorLine("Value too large for StandardCodecSerializer::WriteValue.");
    writer->WriteByte(kNull);
    return;
  }
  switch (value.index()) {
    case 0:
      writer->WriteByte(kNull);
      return;
    case 1:
      writer->WriteByte(value.Get<bool>() ? kTrue : kFalse);
      return;
    case 2:
      writer->WriteByte(kInt32);
      WriteNumber(value.Get<int32_t>(), writer);
      return;
    case 3:
      writer->WriteByte(kInt64);
      WriteNumber(value.Get<int64_t>(), writer);
      return;
    case 4:
      writer->WriteByte(kDouble);
      writer->WriteAlignment(8);
      WriteNumber(value.Get<double>(), writer);
      return;
    case 5: {
      const std::string& string = value.Get<std::string>();
      writer->WriteByte(kString);
      WriteSize(string.size(), writer);
      if (!string.empty()) {
        writer->WriteBytes(reinterpret_cast<const uint8_t*>(string.data()), string.size());
      }
      return;
    }
    case 6: {
      const std::vector<uint8_t>& bytes = value.Get<std::vector<uint8_t>>();
      writer->WriteByte(kUint8List);
      WriteSize(bytes.size(), writer);
      if (!bytes.empty()) {
        writer->WriteBytes(bytes.data(), bytes.size());
      }
      return;
    }
    case 7:
      writer->WriteByte(kInt32List);
      WriteNumberList(value.Get<std::vector<int32_t>>(), writer);
      return;
    case 8:
      writer->WriteByte(kInt64List);
      WriteNumberList(value.Get<std::vector<int64_t>>(), writer);
      return;
    case 9:
      writer->WriteByte(kDoubleList);
      WriteNumberList(value.Get<std::vector<double>>(), writer);
      return;
    case 10: {
      const EncodableList& list = value.Get<EncodableList>();
      writer->WriteByte(kList);
      WriteSize(list.size(), writer);
      for (const EncodableValue& element : list) {
        WriteValue(element, writer);
      }
      return;
    }
    case 11: {
      const EncodableMap& map = value.Get<EncodableMap>();
      writer->WriteByte(kMap);
      WriteSize(map.size(), writer);
      for (const auto& entry : map) {
        WriteValue(entry.first, writer);
        WriteValue(entry.second, writer);
      }
      return;
    }
    case 12:
      writer->WriteByte(kNull);
      WriteErrorLine("Unhandled custom type in StandardCodecSerializer::WriteValue. ",
                     "Custom types require codec extensions.");
      return;
    case 13:
      writer->WriteByte(kFloatList);
      WriteNumberList(value.Get<std::vector<float>>(), writer);
      return;
  }
}

EncodableValue StandardCodecSerializer::ReadValueOfType(uint8_t type,
                                                        ByteStreamReader* reader) const {
  switch (type) {
    case kNull:
      return EncodableValue();
    case kTrue:
      return EncodableValue(true);
    case kFalse:
      return EncodableValue(false);
    case kInt32:
      return EncodableValue(ReadNumber<int32_t>(reader));
    case kInt64:
      return EncodableValue(ReadNumber<int64_t>(reader));
    case kDouble:
      reader->ReadAlignment(8);
      return EncodableValue(ReadNumber<double>(reader));
    case kLegacyString:
    case kString:
      return EncodableValue(ReadByteRun<std::string>(reader));
    case kUint8List:
      return EncodableValue(ReadByteRun<std::vector<uint8_t>>(reader));
    case kInt32List:
      return EncodableValue(ReadNumberList<int32_t>(reader));
    case kInt64List:
      return EncodableValue(ReadNumberList<int64_t>(reader));
    case kDoubleList:
      return EncodableValue(ReadNumberList<double>(reader));
    case kFloatList:
      return EncodableValue(ReadNumberList<float>(reader));
    case kList:
    case kMap:
      break;
    default:
      WriteErrorLine("Unknown type in StandardCodecSerializer::ReadValueOfType: ",
                     std::to_string(type));
      return EncodableValue();
  }
  static_assert(kLastTag == 14, "every tag up to the last is handled above");

  if (reading_depth >= kMaxNestingDepth) {
    ReportInvalidRead();
    return EncodableValue();
  }
  NestingGuard nesting;
  uint32_t count = ReadSize(reader);
  // Every element takes at least one byte, so the loops end with the message: once it is used
  // up, the next element reads as null (with the invalid-read line) and is the last.
  if (type == kList) {
    EncodableList list;
    list.reserve(std::min<size_t>(count, reader->RemainingBytes()));
    for (uint32_t i = 0; i < count; ++i) {
      bool exhausted = reader->RemainingBytes() == 0;
      list.push_back(ReadValue(reader));
      if (exhausted) {
        break;
      }
    }
    return EncodableValue(std::move(list));
  }
  EncodableMap map;
  for (uint32_t i = 0; i < count; ++i) {
    bool exhausted = reader->RemainingBytes() == 0;
    EncodableValue key = ReadValue(reader);
    EncodableValue value = ReadValue(reader);
    // The first occurrence of a key wins.
    map.emplace(std::move(key), std::move(value));
    if (exhausted) {
      break;
    }
  }
  return EncodableValue(std::move(map));
}

}  // namespace orvane
