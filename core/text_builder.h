#pragma once
#include <cstdint>

// Builds a text in a fixed buffer: appends never write past its end, the text is always
// terminated, and `cut()` tells whether anything did not fit. No heap, no C library.
class TextBuilder {
  public:
    TextBuilder(char* out, int size);

    TextBuilder& text(const char* text);
    TextBuilder& character(char c);
    TextBuilder& number(std::int64_t value);
    // Decimal as "%0*lld" gives it: at least `width` characters, zero-padded, a minus sign
    // in front of the zeros.
    TextBuilder& padded(std::int64_t value, int width);

    int length() const { return length_; }
    bool cut() const { return cut_; }

  private:
    void put(char c);

    char* out_;
    int size_;
    int length_ = 0;
    bool cut_ = false;
};
