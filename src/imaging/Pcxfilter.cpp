#include "imaging/Pcxfilter.h"
#include "framework/Exceptions.h"
// PLACEHOLDER: replaced by the PCX reader.
std::unique_ptr<TBitmap> ReadPcxStream(TByteSource&, int&, int&, TProgressRec&, size_t) { throw EInvalidGraphic("not yet"); }
std::unique_ptr<TBitmap> ReadPcx(const std::string&, int&, int&, TProgressRec&) { throw EInvalidGraphic("not yet"); }
