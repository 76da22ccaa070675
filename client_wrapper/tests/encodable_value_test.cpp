#include "client_wrapper/encodable_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace orvane {
namespace {

TEST(EncodableValueTest, AlternativesOrderByTheirIndexFirst) {
  // One value of each alternative, in index order, each chosen "large" within its alternative
  // so that only the alternative can decide.
  CustomEncodableValue custom(std::string("x"));
  const std::vector<EncodableValue> ascending = {
      EncodableValue(),
      EncodableValue(true),
      EncodableValue(int32_t{2147483647}),
      EncodableValue(int64_t{-9000000000}),
      EncodableValue(1e300),
      EncodableValue("zzz"),
      EncodableValue(std::vector<uint8_t>{0xFF}),
      EncodableValue(std::vector<int32_t>{9}),
      EncodableValue(std::vector<int64_t>{9}),
      EncodableValue(std::vector<double>{9}),
      EncodableValue(EncodableList{EncodableValue(9)}),
      EncodableValue(EncodableMap{{EncodableValue(9), EncodableValue(9)}}),
      EncodableValue(custom),
      EncodableValue(std::vector<float>{-1}),
  };
  for (size_t i = 0; i < ascending.size(); ++i) {
    EXPECT_EQ(ascending[i].index(), i);
    for (size_t j = 0; j < ascending.size(); ++j) {
      EXPECT_EQ(ascending[i] < ascending[j], i < j) << i << " vs " << j;
    }
  }
}

TEST(EncodableValueTest, OrdersWithinAnAlternative) {
  struct Case {
    const char* what;
    EncodableValue smaller;
    EncodableValue larger;
  };
  const std::vector<Case> cases = {
      {"booleans", EncodableValue(false), EncodableValue(true)},
      {"negative integers", EncodableValue(-2), EncodableValue(1)},
      {"doubles", EncodableValue(-0.5), EncodableValue(0.25)},
      {"prefix first", EncodableValue("ab"), EncodableValue("abc")},
      {"bytes unsigned", EncodableValue("\x7F"), EncodableValue("\x80")},
      {"byte lists", EncodableValue(std::vector<uint8_t>{1, 0x80}),
       EncodableValue(std::vector<uint8_t>{1, 0x81})},
      {"numeric lists", EncodableValue(std::vector<int64_t>{1, -5}),
       EncodableValue(std::vector<int64_t>{1, 0})},
      {"lists by elements", EncodableValue(EncodableList{EncodableValue(1), EncodableValue("b")}),
       EncodableValue(EncodableList{EncodableValue(1), EncodableValue("c")})},
      {"list prefix", EncodableValue(EncodableList{EncodableValue(1)}),
       EncodableValue(EncodableList{EncodableValue(1), EncodableValue()})},
      {"maps by key", EncodableValue(EncodableMap{{EncodableValue("a"), EncodableValue(9)}}),
       EncodableValue(EncodableMap{{EncodableValue("b"), EncodableValue(0)}})},
      {"maps then by value", EncodableValue(EncodableMap{{EncodableValue("a"), EncodableValue(1)}}),
       EncodableValue(EncodableMap{{EncodableValue("a"), EncodableValue(2)}})},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.smaller < c.larger) << c.what;
    EXPECT_FALSE(c.larger < c.smaller) << c.what;
    EXPECT_FALSE(c.smaller == c.larger) << c.what;
  }
  EXPECT_FALSE(EncodableValue() < EncodableValue());
  EXPECT_EQ(EncodableValue(), EncodableValue());
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
      map.emplace(EncodableValue(key), EncodableValue());
      list_map.emplace(EncodableValue(std::vector<double>{0.5, key}), EncodableValue());
    }
    std::vector<double> order;
    for (const auto& entry : map) order.push_back(entry.first.Get<double>());
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(std::vector<double>(order.begin(), order.begin() + 3),
              (std::vector<double>{-1.0, 1.0, 2.0}));
    EXPECT_TRUE(std::isnan(order[3]));
    EXPECT_EQ(list_map.size(), 4u);
  } while (std::next_permutation(keys.begin(), keys.end(), [](double a, double b) {
    return EncodableValue(a) < EncodableValue(b);
  }));
}

TEST(EncodableValueTest, MapKeysDistinguishAlternativesAndIterateInOrder) {
  EncodableMap map;
  map[EncodableValue("title")] = EncodableValue("t");
  map[EncodableValue("album")] = EncodableValue("a");
  map[EncodableValue(int32_t{1})] = EncodableValue("32");
  map[EncodableValue(int64_t{1})] = EncodableValue("64");
  ASSERT_EQ(map.size(), 4u);
  std::vector<EncodableValue> keys;
  for (const auto& entry : map) keys.push_back(entry.first);
  EXPECT_EQ(keys,
            (std::vector<EncodableValue>{EncodableValue(int32_t{1}), EncodableValue(int64_t{1}),
                                         EncodableValue("album"), EncodableValue("title")}));
}

TEST(EncodableValueTest, CustomValuesCompareByIdentity) {
  EncodableValue first(CustomEncodableValue(42));
  EncodableValue copy = first;
  EXPECT_TRUE(first == first);
  EXPECT_FALSE(first == copy);
  EXPECT_NE(first < copy, copy < first);
  EXPECT_EQ(std::any_cast<int>(static_cast<const std::any&>(copy.Get<CustomEncodableValue>())), 42);
}

TEST(EncodableValueTest, AccessorsAndCopies) {
  EncodableValue text("now");
  EXPECT_EQ(text.index(), 5u);
  ASSERT_NE(text.TryGet<std::string>(), nullptr);
  EXPECT_EQ(*text.TryGet<std::string>(), "now");
  EXPECT_EQ(text.TryGet<std::vector<uint8_t>>(), nullptr);
  EXPECT_TRUE(EncodableValue().IsNull());

  EncodableValue list(EncodableList{EncodableValue(EncodableList{EncodableValue(1)})});
  EncodableValue copy = list;
  copy.Get<EncodableList>()[0].Get<EncodableList>()[0] = EncodableValue(2);
  EXPECT_EQ(list.Get<EncodableList>()[0].Get<EncodableList>()[0], EncodableValue(1));
}

}  // namespace
}  // namespace orvane
