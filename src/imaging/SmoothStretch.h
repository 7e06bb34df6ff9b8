#pragma once
// Smooth resizing of a 24-bit picture to any size: area averaging along a
// side that shrinks (each new pixel the mean of the old pixels it covers,
// in proportion to the part of each it covers), triangle (bilinear)
// interpolation along one that grows, the two sides one after the other.
// Arithmetic is linear on the 8-bit channels, in fixed point; the edges
// are neither darkened nor wrapped (pixels beyond them repeat the edge).

#include "imaging/Bitmap.h"

TBitmap StretchSmooth(const TBitmap& source, int width, int height);
