#include "settings/number_text.h"

#include "core/text_builder.h"
#include "settings/settings.h"

char NumberText[NumberTextSize];

int formatPadded(char* out, int size, std::int64_t value, int width) {
    if (size <= 0) {
        return 0;
    }
    return TextBuilder(out, size).padded(value, width).length();
}

const char* formatNumber(std::int32_t value) {
    formatPadded(NumberText, NumberTextSize, value, 8);
    return NumberText;
}

const char* formatCount(std::uint32_t value) {
    formatPadded(NumberText, NumberTextSize, value, 8);
    return NumberText;
}

int folderPrefixLength(const char* path) {
    int length = 0;
    for (int i = 0; path[i] != '\0'; ++i) {
        if (path[i] == '\\') {
            length = i + 1;
        }
    }
    return length;
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
