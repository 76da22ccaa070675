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

TEST(EncodableValueTest, AlternativesOrderByTheirIndexFirst) {
  // One value of each alternative in index order, each "large" within its alternative so that
  // only the alternative can decide.
  const std::vector<V> ascending = {
      V(),
      V(true),
      V(int32_t{2147483647}),
      V(int64_t{-9000000000}),
      V(1e300),
      V("zzz"),
      V(std::vector<uint8_t>{0xFF}),
      V(std::vector<int32_t>{9}),
      V(std::vector<int64_t>{9}),
      V(std::vector<double>{9}),
      V(EncodableList{V(9)}),
      V(EncodableMap{{V(9), V(9)}}),
      V(CustomEncodableValue(std::string("x"))),
      V(std::vector<float>{-1}),
  };
  for (size_t i = 0; i < ascending.size(); ++i) {
    EXPECT_EQ(ascending[i].index(), i);
    for (size_t j = 0; j < ascending.size(); ++j) {
      EXPECT_EQ(ascending[i] < ascending[j], i < j) << i << " vs " << j;
    }
  }
}

TEST(EncodableValueTest, OrdersWithinAnAlternative) {
  V custom(CustomEncodableValue(42));
  V custom_copy = custom;  // custom values compare by identity
  const std::vector<std::pair<V, V>> ascending = {
      {V(false), V(true)},
      {V(-2), V(1)},
      {V(-0.5), V(0.25)},
      {V("ab"), V("abc")},
      {V("\x7F"), V("\x80")},  // bytes compare unsigned
      {V(std::vector<uint8_t>{1, 0x80}), V(std::vector<uint8_t>{1, 0x81})},
      {V(std::vector<int64_t>{1, -5}), V(std::vector<int64_t>{1, 0})},
      {V(EncodableList{V(1), V("b")}), V(EncodableList{V(1), V("c")})},
      {V(EncodableList{V(1)}), V(EncodableList{V(1), V()})},
      {V(EncodableMap{{V("a"), V(9)}}), V(EncodableMap{{V("b"), V(0)}})},
      {V(EncodableMap{{V("a"), V(1)}}), V(EncodableMap{{V("a"), V(2)}})},
      custom < custom_copy ? std::pair(custom, custom_copy) : std::pair(custom_copy, custom),
  };
  for (const auto& [smaller, larger] : ascending) {
    EXPECT_TRUE(smaller < larger);
    EXPECT_FALSE(larger < smaller);
    EXPECT_FALSE(smaller == larger);
  }
  EXPECT_FALSE(V() < V());
  EXPECT_EQ(V(), V());
  EXPECT_EQ(custom, custom);
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
