#pragma once
#include <cstdint>

// A section as the profile API hands it whole: "key=value" lines, each ended by a zero
// byte, the last followed by another. Finds the first line whose key equals `key` (ASCII
// letter case and blanks around it ignored, as the profile API does) and copies its value
// without the blanks around it but with any quotes, cut to `size` less one characters.
// `out` is empty, and the result false, when no line has that key. `cut`, when given, tells
// whether the value was longer than `out` holds.
bool sectionValue(const char* section, const char* key, char* out, std::uint32_t size,
                  bool* cut = nullptr);
