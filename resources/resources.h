#pragma once

#include <cstddef>

// The banner of the main window: a 400 x 150 bitmap file, 24 bits per pixel.
extern const unsigned char talvek_banner_bmp[];
extern const std::size_t talvek_banner_bmp_size;

// The program's icon (MAINICON): an icon file with one 32 x 32 image in 256 colours.
extern const unsigned char talvek_icon_ico[];
extern const std::size_t talvek_icon_ico_size;
