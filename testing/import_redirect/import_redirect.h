#pragma once

// The executable's imports, pointed elsewhere by stand-ins that watch or fail system calls.
#include <windows.h>

namespace orvane::testing {

// Points the executable's import of `function` from `library` at `replacement`; gives the address
// the import held, or 0 when the executable has no such import (then nothing changes).
ULONG_PTR RedirectImport(const char* library, const char* function, ULONG_PTR replacement);

}  // namespace orvane::testing
