#include "imaging/Jpegfilt.h"
#include "framework/Exceptions.h"
// PLACEHOLDER: replaced by the JPEG glue.
std::unique_ptr<TBitmap> ReadJPegStream(TByteSource&, int&, int&, TProgressRec&) { throw EInvalidGraphic("not yet"); }
