#include "core/names.h"

#include <cstring>

#include "core/text_builder.h"

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int compareFolded(const char* a, const char* b) {
    for (; *a != '\0' && foldCase(*a) == foldCase(*b); ++a, ++b) {
    }
    return static_cast<unsigned char>(foldCase(*a)) - static_cast<unsigned char>(foldCase(*b));
}

const char* packedWord(const char* words, int index) {
    while (index-- > 0) {
        words += std::strlen(words) + 1;
    }
    return words;
}

bool sameNameIgnoringCase(const char* text, std::size_t length, const char* name) {
    for (std::size_t i = 0; i < length; ++i) {
        if (name[i] == '\0' || foldCase(text[i]) != foldCase(name[i])) {
            return false;
        }
    }
    return name[length] == '\0';
}

bool keepName(char* kept, int size, const char* name) {
    if (std::strncmp(kept, name, static_cast<std::size_t>(size - 1)) == 0) {
        return false;
    }
    TextBuilder(kept, size).text(name);
    return true;
}
