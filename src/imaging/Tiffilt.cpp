#include "imaging/Tiffilt.h"
#include "framework/Exceptions.h"
// PLACEHOLDER: replaced by the TIFF reader.
std::unique_ptr<TBitmap> TIFFReadStream(TByteSource&, int, int&, TProgressRec&, int&, int&) { throw EInvalidGraphic("not yet"); }
