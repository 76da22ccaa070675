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

// Both leave no last error, as a failing call may: the failure must not read as success.
HANDLE WINAPI FailingCreateEvent(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR) {
  Restore();
  SetLastError(ERROR_SUCCESS);
  return nullptr;
}

DWORD WINAPI FailingWait(DWORD, const HANDLE*, BOOL, DWORD) {
  Restore();
  SetLastError(ERROR_SUCCESS);
  return WAIT_FAILED;
}

DWORD WINAPI FailingSingleWait(HANDLE, DWORD) {
  Restore();
  SetLastError(ERROR_SUCCESS);
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
  } else if (function == "WaitForMultipleObjects") {
    name = "WaitForMultipleObjects";
    replacement = reinterpret_cast<ULONG_PTR>(&FailingWait);
  } else if (function == "WaitForSingleObject") {
    name = "WaitForSingleObject";
    replacement = reinterpret_cast<ULONG_PTR>(&FailingSingleWait);
  } else {
    return;
  }
  original = RedirectImport(kLibrary, name, replacement);
  if (original != 0) pending = name;
}

}  // namespace orvane::testing::media_session
