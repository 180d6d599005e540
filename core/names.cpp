#include "core/names.h"

namespace {

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool sameNameIgnoringCase(const char* text, std::size_t length, const char* name) {
    for (std::size_t i = 0; i < length; ++i) {
        if (name[i] == '\0' || foldCase(text[i]) != foldCase(name[i])) {
            return false;
        }
    }
    return name[length] == '\0';
}
