#include "testing/import_redirect/import_redirect.h"

#include <cstring>

namespace orvane::testing {
namespace {

// The executable's import slot for `function` of `library`, or null. Found by name, so a slot
// already redirected is found again.
ULONG_PTR* ImportSlot(HMODULE module, const char* library, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0 ||
        entry->OriginalFirstThunk == 0) {
      continue;  // without the name table the slots cannot be told apart
    }
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(name->Name), function) == 0) {
        return &slots->u1.Function;
      }
    }
  }
  return nullptr;
}

}  // namespace

ULONG_PTR RedirectImport(const char* library, const char* function, ULONG_PTR replacement) {
  ULONG_PTR* slot = ImportSlot(::GetModuleHandleW(nullptr), library, function);
  DWORD protection = 0;
  if (slot == nullptr || !::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection)) {
    return 0;
  }
  const ULONG_PTR previous = *slot;
  *slot = replacement;
  ::VirtualProtect(slot, sizeof(*slot), protection, &protection);
  return previous;
}

}  // namespace orvane::testing
