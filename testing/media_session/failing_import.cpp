#include "testing/media_session/failing_import.h"

namespace orvane::testing::media_session {
namespace {

struct Redirect {
  ULONG_PTR* slot = nullptr;
  ULONG_PTR original = 0;
};

Redirect pending;

// The program's import address slot that holds `function` of kernel32, or null. The loader has
// resolved every slot, so the slot is found by the address it holds.
ULONG_PTR* ImportSlot(const char* function) {
  const auto address = reinterpret_cast<ULONG_PTR>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), function)));
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& table =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
  auto* slots = reinterpret_cast<ULONG_PTR*>(base + table.VirtualAddress);
  for (size_t i = 0; address != 0 && i < table.Size / sizeof(ULONG_PTR); ++i) {
    if (slots[i] == address) return &slots[i];
  }
  return nullptr;
}

void Store(ULONG_PTR* slot, ULONG_PTR value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
  *slot = value;
  VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

void Restore() {
  if (pending.slot != nullptr) Store(pending.slot, pending.original);
  pending.slot = nullptr;
}

HANDLE WINAPI FailingCreateEvent(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR) {
  Restore();
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

DWORD WINAPI FailingWait(HANDLE, DWORD) {
  Restore();
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return WAIT_FAILED;
}

}  // namespace

void FailNextImportedCall(const std::string& function) {
  Restore();
  ULONG_PTR replacement = 0;
  if (function == "CreateEventW") replacement = reinterpret_cast<ULONG_PTR>(&FailingCreateEvent);
  if (function == "WaitForSingleObject") replacement = reinterpret_cast<ULONG_PTR>(&FailingWait);
  if (replacement == 0) return;
  pending.slot = ImportSlot(function.c_str());
  if (pending.slot == nullptr) return;
  pending.original = *pending.slot;
  Store(pending.slot, replacement);
}

}  // namespace orvane::testing::media_session
