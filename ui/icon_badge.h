#pragma once
#include <cstdint>

// Marks the program's icon for the tray's state icons: a round badge in the bottom right
// corner, filled with `rgb` (0xRRGGBB) inside a dark ring, so it reads on light and dark
// taskbars alike. `pixels` are the icon's colour as 32-bit rows (0xAARRGGBB), `size` by
// `size`, the first row the bottom one where `bottomUp`. An icon with an alpha channel gets
// an opaque badge; one without keeps alpha 0, as its mask decides what shows.
void markIcon(std::uint32_t* pixels, int size, bool bottomUp, std::uint32_t rgb);
