#pragma once
// Pictures with an alpha channel shown as the desktop shows a wallpaper:
// every pixel composited over one opaque colour.

#include <cstdint>

#include "imaging/Bitmap.h"

// One row of width pixels, 4 bytes each in the order given by `red` (0 for
// red, green, blue, alpha; 2 for blue, green, red, alpha), composited over
// `matte` into width 3-byte pixels of blue, green, red.
void CompositeRow(const uint8_t* pixels, int red, int width, TColor matte, uint8_t* out);
