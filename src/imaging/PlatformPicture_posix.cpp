#include "imaging/PlatformPicture.h"

#include "framework/Exceptions.h"

// No icon or metafile renderer here; the holder turns these into its
// "unrecognized ..." messages.
std::unique_ptr<TBitmap> RenderIconFile(const std::string&, TColor) {
  throw EInvalidGraphic("icons need the Windows renderer");
}

std::unique_ptr<TBitmap> RenderMetafileFile(const std::string&, TColor) {
  throw EInvalidGraphic("metafiles need the Windows renderer");
}
