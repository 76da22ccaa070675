#pragma once

// System calls of the program under test that fail on request: the program's import of the
// function is redirected to a stand-in that fails once and puts the import back.
#include <windows.h>

#include <string>

namespace orvane::testing::media_session {

// Undoes a redirect still pending; then, when `function` is "CreateEventW",
// "WaitForMultipleObjects" or "WaitForSingleObject", makes the program's next call of it fail
// (leaving no last error). Not for programs that call the function on other threads meanwhile.
void FailNextImportedCall(const std::string& function);

}  // namespace orvane::testing::media_session
