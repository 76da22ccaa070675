#pragma once

#include <string>
#include <vector>

namespace orvane {

// Opens a console for a process started by a debugger without one, and points the standard
// output and error streams (and the engine library's) at it.
void OpenDebugConsole();

// The process command line split by the system's rules, program name left out, each argument
// converted to UTF-8. An argument that is not valid UTF-16 keeps its place as an empty string.
std::vector<std::string> CommandLineArguments();

// UTF-8 of zero-terminated UTF-16 text; empty for null or invalid text.
std::string ToUtf8(const wchar_t* text);

}  // namespace orvane
