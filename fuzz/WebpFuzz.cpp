// libFuzzer target of the WebP glue: libwebp's demuxer and decoder through
// Kaleidon's limits, the first frame's placing on its canvas and the
// compositing over a matte. Any input decodes or is rejected with
// EInvalidGraphic; anything else is a finding.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/Webpfilter.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TByteSource stream(data, size);
  TProgressRec progress;
  try {
    ReadWebPStream(stream, 0x00336699, progress, FuzzLimits());
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
