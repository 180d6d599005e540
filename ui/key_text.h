#pragma once
#include <cstdint>

// The key field of the Options dialog shows the virtual-key code as the characters its
// bytes spell, lowest byte first: 82 is "R", 16961 is "AB".
namespace KeyText {

// Four characters and a terminator: a code whose four bytes are all non-zero.
constexpr int ShownSize = 5;
// The field is read with room for two characters and a terminator; those three bytes
// are what may be written over the code.
constexpr int ReadSize = 3;

// The bytes of `key`, lowest first, up to the first zero byte; always terminated.
void show(std::uint32_t key, char (&out)[ShownSize]);

// `text` as read from the field (at most ReadSize - 1 characters and its terminator) laid
// over the lowest bytes of `key`: the characters, then one zero byte. The bytes above that
// zero keep the value they had in `key`.
std::uint32_t store(std::uint32_t key, const char* text);

} // namespace KeyText
