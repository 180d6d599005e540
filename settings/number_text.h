#pragma once
#include <cstdint>

// printf's "%0*li" without the C library: at least `width` characters, zero-padded,
// a minus sign in front of the zeros. Never writes more than `size` bytes; the
// result is always terminated. Returns the length written.
int formatPadded(char* out, int size, std::int64_t value, int width);

// "%08li" of a signed setting into NumberText.
const char* formatNumber(std::int32_t value);
// The same for an unsigned count (free megabytes), which must never show as negative.
const char* formatCount(std::uint32_t value);

// The INI path is the executable's path with its last three characters made "ini".
void deriveIniPath(char* path);
// How many characters of `path` name its folder, the last backslash included; 0 when the
// path has no backslash.
int folderPrefixLength(const char* path);
