#include "core/text_builder.h"

// Out of line: the builder is used in many places, and the program is kept small.
TextBuilder::TextBuilder(char* out, int size) : out_(out), size_(size) {
    if (size_ > 0) {
        out_[0] = '\0';
    }
}

TextBuilder& TextBuilder::text(const char* text) {
    for (; *text != '\0'; ++text) {
        put(*text);
    }
    return *this;
}

TextBuilder& TextBuilder::character(char c) {
    put(c);
    return *this;
}

// Apart from padded(), so that the many plain numbers pass no width.
TextBuilder& TextBuilder::number(std::int64_t value) {
    return padded(value, 1);
}

TextBuilder& TextBuilder::padded(std::int64_t value, int width) {
    char digits[20];
    int count = 0;
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        put('-');
    }
    for (int padding = width - count - (value < 0 ? 1 : 0); padding > 0; --padding) {
        put('0');
    }
    while (count > 0) {
        put(digits[--count]);
    }
    return *this;
}

void TextBuilder::put(char c) {
    if (length_ >= size_ - 1) {
        cut_ = true;
        return;
    }
    out_[length_++] = c;
    out_[length_] = '\0';
}
