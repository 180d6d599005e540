#include "ui/key_text.h"

namespace KeyText {

void show(std::uint32_t key, char (&out)[ShownSize]) {
    int length = 0;
    for (; length < ShownSize - 1; ++length) {
        const char c = static_cast<char>((key >> (8 * length)) & 0xFF);
        if (c == '\0') {
            break;
        }
        out[length] = c;
    }
    out[length] = '\0';
}

std::uint32_t store(std::uint32_t key, const char* text) {
    // Bytes are placed arithmetically, not through memory, so the result does not
    // depend on the machine's byte order.
    for (int i = 0; i < ReadSize; ++i) {
        const unsigned char c = static_cast<unsigned char>(i < ReadSize - 1 ? text[i] : '\0');
        const int shift = 8 * i;
        key = (key & ~(std::uint32_t{0xFF} << shift)) | (std::uint32_t{c} << shift);
        if (c == 0) {
            break;
        }
    }
    return key;
}

} // namespace KeyText
