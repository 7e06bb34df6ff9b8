#pragma once
// What only the platform's display can do for pictures: icons and metafiles
// drawn by its own renderers onto a canvas cleared to the background colour,
// and the screen's resolution for pictures whose file states none. Builds
// without those renderers refuse both kinds.

#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/PictureKinds.h"

// The icon file's image at its own size, transparent pixels in `background`.
std::unique_ptr<TBitmap> RenderIcon(TByteSource& file, TColor background);
// The metafile at its own size less one pixel each way, on `background`.
std::unique_ptr<TBitmap> RenderMetafile(TByteSource& file, TColor background);

// The screen's logical pixels per inch, horizontal and vertical.
TResolution ScreenResolution();
