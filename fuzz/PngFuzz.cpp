// libFuzzer target of the PNG glue: libspng's decode through Kaleidon's
// limits, conversion and compositing over a matte. Any input decodes or is
// rejected with EInvalidGraphic; anything else is a finding.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/Pngfilter.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TByteSource stream(data, size);
  TProgressRec progress;
  try {
    ReadPngStream(stream, 0x00336699, progress, FuzzLimits());
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
