// The rows from widl's C output: identifiers as widl wrote or computed them, slots as the places
// of the methods in its vtables.
#include <stddef.h>

#include <windows.h>

#include <initguid.h>

#include "now_playing/tests/windows/runtime_interface_rows.h"
#include "runtime_interfaces.h"

#define JOIN(a, b) JOIN_UNEXPANDED(a, b)
#define JOIN_UNEXPANDED(a, b) a##b

#define VTABLE(key, c_name, ...) typedef JOIN(c_name, Vtbl) key##Vtbl;
#define NONE(key, method)
ORVANE_RUNTIME_INTERFACES(VTABLE, NONE)

#define IID_ROW(key, c_name, ...) {#key, NULL, &JOIN(IID_, c_name), 0},
#define SLOT_ROW(key, method) {#key, #method, NULL, offsetof(key##Vtbl, method) / sizeof(void*)},
const struct RuntimeInterfaceRow kWidlRows[] = {ORVANE_RUNTIME_INTERFACES(IID_ROW, SLOT_ROW)};
const size_t kWidlRowCount = sizeof(kWidlRows) / sizeof(kWidlRows[0]);
