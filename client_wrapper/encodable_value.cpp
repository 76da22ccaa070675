#include "client_wrapper/encodable_value.h"

#include <functional>

namespace orvane {

bool operator<(const CustomEncodableValue& a, const CustomEncodableValue& b) {
  // std::less gives a total order on addresses of unrelated objects.
  return std::less<const CustomEncodableValue*>()(&a, &b);
}

}  // namespace orvane
