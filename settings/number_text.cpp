#include "settings/number_text.h"

#include "settings/settings.h"

char NumberText[NumberTextSize] = "01234567";

int formatPadded(char* out, int size, std::int64_t value, int width) {
    if (size <= 0) {
        return 0;
    }
    char digits[24];
    int count = 0;
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    int length = 0;
    auto put = [&](char c) {
        if (length < size - 1) {
            out[length++] = c;
        }
    };
    int padding = width - count - (value < 0 ? 1 : 0);
    if (value < 0) {
        put('-');
    }
    for (; padding > 0; --padding) {
        put('0');
    }
    while (count > 0) {
        put(digits[--count]);
    }
    out[length] = '\0';
    return length;
}

const char* formatNumber(std::int32_t value) {
    formatPadded(NumberText, NumberTextSize, value, 8);
    return NumberText;
}

const char* formatCount(std::uint32_t value) {
    formatPadded(NumberText, NumberTextSize, value, 8);
    return NumberText;
}

void deriveIniPath(char* path) {
    int length = 0;
    while (path[length] != '\0') {
        ++length;
    }
    // Whatever the last three characters are (no dot is looked for), they become "ini".
    if (length < 3) {
        return;
    }
    path[length - 3] = 'i';
    path[length - 2] = 'n';
    path[length - 1] = 'i';
}
