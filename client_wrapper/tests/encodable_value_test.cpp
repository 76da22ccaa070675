#include "client_wrapper/encodable_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace orvane {
namespace {

using V = EncodableValue;

// Across alternatives the index decides, whatever the values; custom values go by identity.
TEST(EncodableValueTest, OrdersAcrossAlternativesByIndexFirst) {
  V custom(CustomEncodableValue(42));
  V custom_copy = custom;
  const std::vector<std::pair<V, V>> ascending = {
      {V(), V(false)},
      {V(int32_t{2147483647}), V(int64_t{-9000000000})},
      {V(1e300), V("")},
      {V(std::vector<double>{9}), V(EncodableList{})},
      {V(EncodableMap{{V(9), V(9)}}), V(CustomEncodableValue(std::string("x")))},
      {V(CustomEncodableValue(0)), V(std::vector<float>{-1})},
      custom < custom_copy ? std::pair(custom, custom_copy) : std::pair(custom_copy, custom),
  };
  for (const auto& [smaller, larger] : ascending) {
    EXPECT_TRUE(smaller < larger);
    EXPECT_FALSE(larger < smaller);
  }
  EXPECT_EQ(custom, custom);
  EXPECT_FALSE(V() < V());
}

TEST(EncodableValueTest, NaNKeysOrderAfterNumbersWhateverTheirArrival) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> keys = {nan, 2.0, -1.0, nan, 1.0};
  std::sort(keys.begin(), keys.end(),
            [](double a, double b) { return std::isnan(b) && !std::isnan(a); });
  do {
    EncodableMap map;
    EncodableMap list_map;
    for (double key : keys) {
      map.emplace(V(key), V());
      list_map.emplace(V(std::vector<double>{0.5, key}), V());
    }
    std::vector<double> order;
    for (const auto& entry : map) order.push_back(entry.first.Get<double>());
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(std::vector<double>(order.begin(), order.begin() + 3),
              (std::vector<double>{-1.0, 1.0, 2.0}));
    EXPECT_TRUE(std::isnan(order[3]));
    EXPECT_EQ(list_map.size(), 4u);
  } while (std::next_permutation(keys.begin(), keys.end(),
                                 [](double a, double b) { return V(a) < V(b); }));
}

}  // namespace
}  // namespace orvane
