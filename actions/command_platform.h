#pragma once
#include <cstdint>

// The commands' platform calls. command_platform_win.cpp supplies them on Windows; host
// tests record them.

// The program's own environment block ("A=1\0B=2\0\0"); hand it back when done.
const char* inheritedEnvironment();
void releaseInheritedEnvironment(const char* block);
// The command interpreter (COMSPEC); empty when the variable is not set.
void commandInterpreter(char* out, std::uint32_t size);
// CreateProcessA without a console window or inherited handles, in `folder`, with the given
// environment block; both handles are closed at once. 0 on success, else the error code.
std::uint32_t startDetached(char* commandLine, const char* environment, const char* folder);
