// libFuzzer target of the GIF reader: any input decodes or is rejected with
// one of the framework's exceptions; anything else is a finding.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/Giffilter.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first image as the holder asks for it, and the second, so that
  // stepping over an image is exercised as well.
  for (int index : {0, 1}) {
    TByteSource stream(data, size);
    TProgressRec progress;
    int count = 0;
    TGlobGifInfo global;
    TGifInfo info;
    try {
      ReadGifStream(stream, index, count, progress, global, info, FuzzLimits());
    } catch (const Exception&) {
    }
  }
  return 0;
}
