// libFuzzer target of the TIFF reader: any input decodes or is rejected with
// one of the framework's exceptions; anything else is a finding. Pages 0 and
// 1 are read, so that stepping over a directory is exercised as well.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/Tiffilt.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int page : {0, 1}) {
    TByteSource stream(data, size);
    TProgressRec progress;
    int pages = 0, xDpi = 0, yDpi = 0;
    try {
      TIFFReadStream(stream, page, pages, progress, xDpi, yDpi, FuzzLimits());
    } catch (const Exception&) {
    }
  }
  return 0;
}
