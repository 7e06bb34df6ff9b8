#pragma once
// Icons and metafiles, drawn by the platform's own renderers onto a canvas
// cleared to the background colour. Builds without those renderers refuse
// both kinds.

#include <memory>
#include <string>

#include "imaging/Bitmap.h"

// The icon at its own size, transparent pixels in `background`.
std::unique_ptr<TBitmap> RenderIconFile(const std::string& fileName, TColor background);
// The metafile at its own size less one pixel each way, on `background`.
std::unique_ptr<TBitmap> RenderMetafileFile(const std::string& fileName, TColor background);
