// Fuzz target of the JPEG reader: any input either decodes or is refused
// with EInvalidGraphic; every other outcome is a finding.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/Jpegfilt.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TByteSource stream(data, size);
  TProgressRec progress;
  int xDpi = 0, yDpi = 0;
  try {
    ReadJPegStream(stream, xDpi, yDpi, progress, FuzzLimits());
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
