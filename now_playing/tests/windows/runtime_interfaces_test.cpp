// The Runtime layer's own interface declarations against what widl generates from IDL over
// Wine's: the media-session stand-in is compiled from the same declarations, so a wrong
// identifier or a misplaced method would pass every other test.

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <utility>

#include "now_playing/tests/windows/runtime_interface_rows.h"
#include "now_playing/windows/runtime/media_control_abi.h"

namespace orvane::runtime::abi {
namespace {

// A call through any slot of this vtable answers the slot's index.
template <size_t Slot>
HRESULT STDMETHODCALLTYPE AnswerSlot() {
  return static_cast<HRESULT>(Slot);
}

template <size_t... Slots>
const void* const* SlotTable(std::index_sequence<Slots...>) {
  static const void* const table[] = {reinterpret_cast<const void*>(&AnswerSlot<Slots>)...};
  return table;
}

// The slot the compiler calls for `method`: called through a stub whose vtable answers indices.
// (The stub is read as the interface: the build turns strict aliasing off for this file.)
template <class Interface, class... Arguments>
size_t SlotOf(HRESULT (Interface::*method)(Arguments...)) {
  struct {
    const void* const* vtable = SlotTable(std::make_index_sequence<32>());
  } stub;
  return static_cast<size_t>((reinterpret_cast<Interface*>(&stub)->*method)(Arguments{}...));
}

#define TYPE(key, c_name, ...) using key = __VA_ARGS__;
#define NONE(key, method)
ORVANE_RUNTIME_INTERFACES(TYPE, NONE)

TEST(RuntimeInterfacesTest, IdentifiersAndSlotsAreWidls) {
#define IID_ROW(key, c_name, ...) {#key, nullptr, &IidOf<key>(), 0},
#define SLOT_ROW(key, method) {#key, #method, nullptr, SlotOf(&key::method)},
  const RuntimeInterfaceRow rows[] = {ORVANE_RUNTIME_INTERFACES(IID_ROW, SLOT_ROW)};
  ASSERT_EQ(std::size(rows), kWidlRowCount);
  for (size_t i = 0; i < kWidlRowCount; ++i) {
    const RuntimeInterfaceRow& row = rows[i];
    const RuntimeInterfaceRow& widl = kWidlRows[i];
    SCOPED_TRACE(std::string(row.key) + " " + (row.method ? row.method : "identifier"));
    if (row.iid != nullptr) {
      EXPECT_TRUE(IsEqualGUID(*row.iid, *widl.iid));
    }
    EXPECT_EQ(row.slot, widl.slot);
  }
}

}  // namespace
}  // namespace orvane::runtime::abi
