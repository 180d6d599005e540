#include "settings/section_text.h"

#include <cstring>

#include "core/names.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Narrows [begin, end) to what lies between the blanks around it.
void trim(const char*& begin, const char*& end) {
    while (begin < end && isBlank(*begin)) {
        ++begin;
    }
    while (end > begin && isBlank(end[-1])) {
        --end;
    }
}

// True when [begin, end) holds `key`, blanks around it aside.
bool keyMatches(const char* begin, const char* end, const char* key) {
    trim(begin, end);
    return sameNameIgnoringCase(begin, static_cast<std::size_t>(end - begin), key);
}

// Returns whether the value had to be cut to fit.
bool copyTrimmed(const char* begin, const char* end, char* out, std::uint32_t size) {
    trim(begin, end);
    std::size_t length = static_cast<std::size_t>(end - begin);
    const bool cut = length > size - 1;
    if (cut) {
        length = size - 1;
    }
    std::memcpy(out, begin, length);
    out[length] = '\0';
    return cut;
}

} // namespace

bool sectionValue(const char* section, const char* key, char* out, std::uint32_t size, bool* cut) {
    if (cut != nullptr) {
        *cut = false;
    }
    if (size == 0) {
        return false;
    }
    out[0] = '\0';
    for (const char* line = section; *line != '\0'; line += std::strlen(line) + 1) {
        const char* equals = std::strchr(line, '=');
        if (equals != nullptr && keyMatches(line, equals, key)) {
            const bool valueCut = copyTrimmed(equals + 1, line + std::strlen(line), out, size);
            if (cut != nullptr) {
                *cut = valueCut;
            }
            return true;
        }
    }
    return false;
}
