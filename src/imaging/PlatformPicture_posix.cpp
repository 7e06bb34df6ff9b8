#include "imaging/PlatformPicture.h"

#include "framework/Exceptions.h"

// No icon or metafile renderer here; the holder turns these into its
// "unrecognized ..." messages.
std::unique_ptr<TBitmap> RenderIcon(TByteSource&, TColor) { throw EInvalidGraphic("icons need the Windows renderer"); }

std::unique_ptr<TBitmap> RenderMetafile(TByteSource&, TColor) {
  throw EInvalidGraphic("metafiles need the Windows renderer");
}

// No display to ask: the logical resolution Windows uses at 100 % scaling.
TResolution ScreenResolution() { return {96, 96}; }
