#pragma once
#include <cstdint>

// The settings' only contact with the platform (the profile API and the module path).
// Windows supplies these in profile_io_win.cpp; host tests supply an in-memory file.
std::int32_t profileReadInt(const char* key, std::int32_t fallback, const char* iniPath);
void profileReadText(const char* key, const char* fallback, char* out, std::uint32_t size,
                     const char* iniPath);
// The whole section, each line as written (quotes kept): "key=value\0...\0\0". Returns
// the length the platform gives, which is `size` less 2 when the section was cut.
std::uint32_t profileReadSection(char* out, std::uint32_t size, const char* iniPath);
void profileWriteText(const char* key, const char* text, const char* iniPath);
void moduleFilePath(char* out, std::uint32_t size);
