#include "testing/media_session/failing_import.h"

#include "testing/import_redirect/import_redirect.h"

namespace orvane::testing::media_session {
namespace {

constexpr char kLibrary[] = "kernel32.dll";

// The import redirected and what it held, until the failing call puts it back.
const char* pending = nullptr;
ULONG_PTR original = 0;

void Restore() {
  if (pending != nullptr) RedirectImport(kLibrary, pending, original);
  pending = nullptr;
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
  const char* name = nullptr;
  ULONG_PTR replacement = 0;
  if (function == "CreateEventW") {
    name = "CreateEventW";
    replacement = reinterpret_cast<ULONG_PTR>(&FailingCreateEvent);
  } else if (function == "WaitForSingleObject") {
    name = "WaitForSingleObject";
    replacement = reinterpret_cast<ULONG_PTR>(&FailingWait);
  } else {
    return;
  }
  original = RedirectImport(kLibrary, name, replacement);
  if (original != 0) pending = name;
}

}  // namespace orvane::testing::media_session
