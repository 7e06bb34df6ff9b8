// Feeds arbitrary bytes to the BMP reader: it must decode or reject them
// with one of the framework's exceptions, never crash, hang or overrun.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/BmpCodec.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TByteSource stream(data, size);
  try {
    ReadBitmapStream(stream, FuzzLimits());
  } catch (const Exception&) {
  }
  return 0;
}
