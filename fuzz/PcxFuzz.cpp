// libFuzzer target of the PCX reader: any input decodes or is rejected with
// one of the framework's exceptions; anything else is a finding.

#include <cstddef>
#include <cstdint>

#include "framework/Exceptions.h"
#include "imaging/Pcxfilter.h"
#include "FuzzLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TByteSource stream(data, size);
  TProgressRec progress;
  int xDpi = 0, yDpi = 0;
  try {
    ReadPcxStream(stream, xDpi, yDpi, progress, size, FuzzLimits());
  } catch (const Exception&) {
  }
  return 0;
}
