#include "client_wrapper/encodable_value.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <type_traits>

namespace orvane {

namespace {

template <typename Number>
bool NumberLess(Number a, Number b) {
  if (std::isnan(a) || std::isnan(b)) {
    return !std::isnan(a);
  }
  return a < b;
}

template <typename Number>
bool NumberListLess(const std::vector<Number>& a, const std::vector<Number>& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), NumberLess<Number>);
}

}  // namespace

bool operator<(const CustomEncodableValue& a, const CustomEncodableValue& b) {
  // std::less gives a total order on addresses of unrelated objects.
  return std::less<const CustomEncodableValue*>()(&a, &b);
}

bool operator<(const EncodableValue& a, const EncodableValue& b) {
  if (a.index() != b.index()) {
    return a.index() < b.index();
  }
  return std::visit(
      [&b](const auto& held) -> bool {
        using T = std::decay_t<decltype(held)>;
        const T& other = *std::get_if<T>(&b.variant());
        if constexpr (std::is_same_v<T, double>) {
          return NumberLess(held, other);
        } else if constexpr (std::is_same_v<T, std::vector<double>> ||
                             std::is_same_v<T, std::vector<float>>) {
          return NumberListLess(held, other);
        } else if constexpr (std::is_same_v<T, std::monostate>) {
          return false;
        } else {
          return held < other;
        }
      },
      a.variant());
}

}  // namespace orvane
