#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// How the stand-in UI records a byte list, and how a test predicts that record:
// "<size>:<FNV-1a 32 in hex>".
namespace orvane_standin {

template <typename Bytes>
std::string Fingerprint(const Bytes& bytes) {
  uint32_t hash = 2166136261u;
  for (const auto byte : bytes) hash = (hash ^ static_cast<uint8_t>(byte)) * 16777619u;
  char text[16];
  std::snprintf(text, sizeof(text), "%08x", hash);
  return std::to_string(bytes.size()) + ":" + text;
}

}  // namespace orvane_standin
