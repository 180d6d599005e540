#include "ui/icon_badge.h"

namespace {

constexpr std::uint32_t Ring = 0x202020;
constexpr std::uint32_t Opaque = 0xFF000000;

} // namespace

void markIcon(std::uint32_t* pixels, int size, bool bottomUp, std::uint32_t rgb) {
    std::uint32_t alpha = 0;
    for (int i = 0; i < size * size; ++i) {
        alpha |= pixels[i];
    }
    alpha = (alpha & Opaque) != 0 ? Opaque : 0;
    // Distances in half pixels from the badge's centre, so that pixel centres are whole.
    const int side = size / 2;
    const int inner = side - (size >= 32 ? 4 : 2);
    const int right = 2 * size - side;
    const int bottom = bottomUp ? side : right;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int dx = 2 * x + 1 - right;
            const int dy = 2 * y + 1 - bottom;
            const int distance = dx * dx + dy * dy;
            if (distance <= side * side) {
                pixels[y * size + x] = alpha | (distance <= inner * inner ? rgb : Ring);
            }
        }
    }
}
