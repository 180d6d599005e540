#pragma once
#include <cstddef>

// True when the `length` characters at `text` spell `name`, ASCII letters compared
// without regard to case, as Windows compares INI keys and environment variable names.
bool sameNameIgnoringCase(const char* text, std::size_t length, const char* name);
