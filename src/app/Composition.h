#pragma once
// The one wallpaper bitmap that shows a picture of its own on each monitor,
// or one picture across all of them. The system is told to tile it from the
// primary monitor's top-left corner (the virtual screen's 0,0): the bitmap is
// the size of the virtual screen, and a monitor left of or above the primary
// (at negative coordinates) is drawn wrapped, at the far right or bottom,
// where the tiling repeats it. This needs no per-monitor API of the system.

#include <span>

#include "app/Monitors.h"
#include "imaging/Bitmap.h"

// One picture as its placement sized it, and the area it is shown in: tiled
// from the area's top-left corner, or centred in it (cut where larger).
struct TComposedPicture {
  const TBitmap* Picture = nullptr;  // 24 bits per pixel
  bool Tiled = false;
  TScreenRect Area;
};

// Cuts a picture down to what an area of that size shows of it, tiled or
// centred as ComposeWallpaper draws it: a picture larger than a monitor is
// not kept whole until the composition.
void CropToArea(TBitmap& picture, bool tiled, int width, int height);

// The bitmap of the virtual screen's size; what no picture covers is the
// background colour. Areas must lie within the virtual screen.
TBitmap ComposeWallpaper(const TScreenRect& virtualScreen, std::span<const TComposedPicture> pictures,
                         TColor background);
