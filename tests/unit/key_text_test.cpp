#include "ui/key_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string shown(std::uint32_t key) {
    char out[KeyText::ShownSize];
    std::memset(out, 'Z', sizeof out); // a missing terminator shows up as trailing Zs
    KeyText::show(key, out);
    return std::string(out, sizeof out).substr(0, std::strlen(out));
}

struct ShowCase {
    std::uint32_t key;
    const char* text;
};

TEST(KeyTextShow, BytesLowestFirstUpToTheFirstZero) {
    const ShowCase cases[] = {
        {0, ""},
        {82, "R"},
        {13, "\r"},
        {16961, "AB"}, // 0x4241
        {0x00434241, "ABC"},
        {0x44434241, "ABCD"}, // all four bytes: four characters, then the terminator
        {0x41420043, "C"},    // stops at the first zero even with bytes above it
        {0x00004100, ""},     // a zero low byte shows nothing at all
        {0x000000E9, "\xE9"}, // 8-bit characters pass through
    };
    for (const ShowCase& c : cases) {
        EXPECT_EQ(shown(c.key), c.text) << "key " << c.key;
    }
}

TEST(KeyTextShow, FourCharactersAreTerminatedInsideTheBuffer) {
    char out[KeyText::ShownSize];
    std::memset(out, 'Z', sizeof out);
    KeyText::show(0x44434241, out);
    EXPECT_EQ(out[4], '\0');
}

struct StoreCase {
    std::uint32_t before;
    const char* text;
    std::uint32_t after;
};

TEST(KeyTextStore, CharactersAndAZeroOverTheLowBytes) {
    const StoreCase cases[] = {
        {0, "R", 82},
        {0, "r", 114}, // lower case is its own code (F3), not R
        {0, "AB", 16961},
        {0, "ABC", 16961}, // only two characters fit the read
        {82, "", 0},       // empty field clears a single-byte code
        {16961, "X", 88},  // the zero after X clears the B
        {0, "\r", 13},
        // Codes above 255: the bytes above the written zero keep their value.
        {0x00434241, "X", 0x00430058},
        {0x00434241, "", 0x00434200},
        {0x00434241, "XY", 0x00005958},
        {0x44434241, "X", 0x44430058},
        {0x44434241, "XY", 0x44005958},
        {0xFFFFFFFF, "", 0xFFFFFF00},
        {0, "\xE9", 0xE9}, // 8-bit characters are not sign-extended into the upper bytes
    };
    for (const StoreCase& c : cases) {
        EXPECT_EQ(KeyText::store(c.before, c.text), c.after)
            << "before 0x" << std::hex << c.before << " text \"" << c.text << "\"";
    }
}

TEST(KeyTextStore, ShownTextOfASmallCodeStoresTheSameCode) {
    for (std::uint32_t key = 1; key < 0x10000; ++key) {
        if ((key & 0xFF) == 0) {
            continue; // shows empty, stores 0 (the upper byte is overwritten by the zero)
        }
        char text[KeyText::ShownSize];
        KeyText::show(key, text);
        ASSERT_EQ(KeyText::store(key, text), key) << key;
    }
}

} // namespace
