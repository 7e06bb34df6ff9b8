#include "imaging/BmpCodec.h"
#include "framework/Exceptions.h"
// PLACEHOLDER: replaced by the BMP reader and writer.
std::unique_ptr<TBitmap> ReadBitmapStream(TByteSource&) { throw EInvalidGraphic("not yet"); }
std::vector<uint8_t> WriteBitmapStream(const TBitmap&) { throw EInvalidGraphic("not yet"); }
