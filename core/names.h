#pragma once
#include <cstddef>

// ASCII letters in lower case, every other character as it is.
char foldCase(char c);
// strcmp's order with ASCII letters compared without regard to case, as Windows names files.
int compareFolded(const char* a, const char* b);

// True when the `length` characters at `text` spell `name`, ASCII letters compared
// without regard to case, as Windows compares INI keys and environment variable names.
bool sameNameIgnoringCase(const char* text, std::size_t length, const char* name);

// The `index`th of the words packed in `words`, each ended by a zero byte: how the name
// tables are kept, with no pointer of their own to relocate.
const char* packedWord(const char* words, int index);

// Keeps `name` in `kept` (a field of `size` bytes, cut to fit) and tells whether it differs
// from what was kept before: how the features that follow the watched drive notice a new one.
bool keepName(char* kept, int size, const char* name);
