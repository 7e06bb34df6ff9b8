#include "imaging/Giffilter.h"
#include "framework/Exceptions.h"
// PLACEHOLDER: replaced by the GIF reader.
std::unique_ptr<TBitmap> ReadGifStream(TByteSource&, int, int&, TProgressRec&, TGlobGifInfo&, TGifInfo&) { throw EInvalidGraphic("not yet"); }
std::unique_ptr<TBitmap> ReadGif(const std::string&, int, int&, TProgressRec&, TGlobGifInfo&, TGifInfo&) { throw EInvalidGraphic("not yet"); }
