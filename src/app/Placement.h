#pragma once
// Sizes of the two stretch placements of the wallpaper.

#include "imaging/Imageholder.h"

enum TPlacement { plTile = 0, plCenter = 1, plStretch = 2, plStretchProportionally = 3 };

struct TFittedSize {
  int Width;
  int Height;
};

// The size Stretch Proportionally gives an image measured W by H (its pixel
// size plus one each way) on a screen of SW by SH pixels.
TFittedSize FittedSize(double W, double H, int SW, int SH);

// Resizes the holder's image as the placement asks: Stretch to one pixel less
// than the screen each way, Stretch Proportionally to the fitted size, each
// smoothly or nearest-pixel; the other placements leave it alone.
void ResizeForPlacement(TImageHolder& holder, int placement, int SW, int SH, bool smooth);
