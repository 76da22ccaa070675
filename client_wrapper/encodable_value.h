#pragma once

#include <any>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace orvane {

class EncodableValue;

using EncodableList = std::vector<EncodableValue>;
// Ordered by the value ordering below, so entries are written in ascending key order.
using EncodableMap = std::map<EncodableValue, EncodableValue>;

// An application object that only an extended serializer can carry. Two of them are equal only
// when they are the same object: the ordering is by address.
class CustomEncodableValue {
 public:
  explicit CustomEncodableValue(const std::any& value) : value_(value) {}
  ~CustomEncodableValue() = default;

  operator std::any&() { return value_; }
  operator const std::any&() const { return value_; }
  const std::type_info& type() const noexcept { return value_.type(); }

  friend bool operator<(const CustomEncodableValue& a, const CustomEncodableValue& b);
  friend bool operator==(const CustomEncodableValue& a, const CustomEncodableValue& b) {
    return &a == &b;
  }
  friend bool operator!=(const CustomEncodableValue& a, const CustomEncodableValue& b) {
    return &a != &b;
  }

 private:
  std::any value_;
};

// The fourteen alternatives in this order: the index is the first key of the value ordering and
// decides the wire tag.
using EncodableVariant =
    std::variant<std::monostate, bool, int32_t, int64_t, double, std::string, std::vector<uint8_t>,
                 std::vector<int32_t>, std::vector<int64_t>, std::vector<double>, EncodableList,
                 EncodableMap, CustomEncodableValue, std::vector<float>>;

// The value carried by every channel message. Default-constructed it is null. A total order:
// first by alternative, then within one alternative numerically, lexicographically (strings and
// byte lists by unsigned byte, lists element by element, maps entry by entry) or, for custom
// values, by address. Equality is the alternatives' own (a NaN is not equal to itself).
class EncodableValue : public EncodableVariant {
 public:
  using EncodableVariant::EncodableVariant;
  using EncodableVariant::operator=;

  EncodableValue() = default;
  // Character strings make the string alternative (not the boolean one).
  EncodableValue(const char* string) : EncodableVariant(std::in_place_type<std::string>, string) {}
  EncodableValue& operator=(const char* string) {
    EncodableVariant::operator=(std::string(string));
    return *this;
  }

  bool IsNull() const { return std::holds_alternative<std::monostate>(*this); }

  // The held object, or none when the value holds another alternative.
  template <typename T>
  const T* TryGet() const {
    return std::get_if<T>(this);
  }
  template <typename T>
  T* TryGet() {
    return std::get_if<T>(this);
  }

  // For code that has already tested the alternative: holding another one is a programming error.
  template <typename T>
  const T& Get() const {
    return *std::get_if<T>(this);
  }
  template <typename T>
  T& Get() {
    return *std::get_if<T>(this);
  }

  const EncodableVariant& variant() const { return *this; }

  // Numeric < for numbers, except that NaN orders after every number and equal to every NaN:
  // map keys need a strict weak order, and hostile messages can carry NaN keys.
  friend bool operator<(const EncodableValue& a, const EncodableValue& b);
  friend bool operator>(const EncodableValue& a, const EncodableValue& b) { return b < a; }
  friend bool operator<=(const EncodableValue& a, const EncodableValue& b) { return !(b < a); }
  friend bool operator>=(const EncodableValue& a, const EncodableValue& b) { return !(a < b); }
  friend bool operator==(const EncodableValue& a, const EncodableValue& b) {
    return a.variant() == b.variant();
  }
  friend bool operator!=(const EncodableValue& a, const EncodableValue& b) { return !(a == b); }
};

}  // namespace orvane
