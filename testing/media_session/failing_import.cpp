#include "testing/media_session/failing_import.h"

#include <utility>

#include "testing/import_redirect/import_redirect.h"

namespace orvane::testing::media_session {
namespace {

constexpr char kLibrary[] = "kernel32.dll";

// The import redirected and what it held, until the failing call puts it back.
const char* pending = nullptr;
ULONG_PTR original = 0;

// Puts the import back and fails, leaving no last error, as a failing call may: the failure must
// not read as success.
template <class Value>
Value Fail(Value value) {
  if (pending != nullptr) RedirectImport(kLibrary, pending, original);
  pending = nullptr;
  SetLastError(ERROR_SUCCESS);
  return value;
}

HANDLE WINAPI FailingCreateEvent(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCWSTR) {
  return Fail<HANDLE>(nullptr);
}
DWORD WINAPI FailingWait(DWORD, const HANDLE*, BOOL, DWORD) { return Fail<DWORD>(WAIT_FAILED); }
DWORD WINAPI FailingSingleWait(HANDLE, DWORD) { return Fail<DWORD>(WAIT_FAILED); }

}  // namespace

void FailNextImportedCall(const std::string& function) {
  Fail(0);
  const std::pair<const char*, ULONG_PTR> failing[] = {
      {"CreateEventW", reinterpret_cast<ULONG_PTR>(&FailingCreateEvent)},
      {"WaitForMultipleObjects", reinterpret_cast<ULONG_PTR>(&FailingWait)},
      {"WaitForSingleObject", reinterpret_cast<ULONG_PTR>(&FailingSingleWait)}};
  for (const auto& [name, replacement] : failing) {
    if (function != name) continue;
    original = RedirectImport(kLibrary, name, replacement);
    if (original != 0) pending = name;
  }
}

}  // namespace orvane::testing::media_session
