// libFuzzer target of the PNG glue: libspng's decode through Kaleidon's
// limits, conversion and compositing over a matte. Any input decodes or is
// rejected with EInvalidGraphic; anything else is a finding. The chunks'
// checksums are made right first, so that mutated chunks reach the decoder
// instead of all failing their checksum.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/Exceptions.h"
#include "imaging/Pngfilter.h"
#include "FuzzLimits.h"

namespace {

void FixChecksums(std::vector<uint8_t>& png) {
  size_t at = 8;  // after the signature
  while (at + 12 <= png.size()) {
    const size_t length = size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
    if (length > png.size() - at - 12) return;
    const uLong crc = crc32(0, png.data() + at + 4, uInt(length + 4));
    uint8_t* out = png.data() + at + 8 + length;
    for (int i = 0; i < 4; ++i) out[i] = uint8_t(crc >> (24 - 8 * i));
    at += length + 12;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> png(data, data + size);
  FixChecksums(png);
  TByteSource stream(png);
  TProgressRec progress;
  try {
    ReadPngStream(stream, 0x00336699, progress, FuzzLimits());
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
