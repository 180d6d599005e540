#pragma once
#include <cstdint>

// The commands' platform calls. command_platform_win.cpp supplies them on Windows; host
// tests record them.

// Sets a variable of the program's own environment, or removes it when `value` is null. A
// command started afterwards inherits that environment whole, as Windows holds it.
void setOwnVariable(const char* name, const char* value);
// The command interpreter (COMSPEC); empty when the variable is not set.
void commandInterpreter(char* out, std::uint32_t size);
// CreateProcessA without a console window or inherited handles, in `folder`, with the
// program's own environment; both handles are closed at once. 0 on success, else the error.
std::uint32_t startDetached(char* commandLine, const char* folder);
