// libFuzzer target of the CCITT row decoders, called directly. The first four
// bytes choose the decoder (byte 0 mod 3: modified Huffman, T.4 one-dimensional,
// two-dimensional), the fill order (bit 7 of byte 0) and the width (bytes 1-2,
// 1 to 65536); byte 3 is the number of rows; the rest is the strip. Every call
// must stay inside the data and return a position inside it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/Tifccitt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int mode = data[0] % 3, fillOrder = data[0] & 0x80 ? 2 : 1;
  const int width = 1 + (data[1] | data[2] << 8), rows = 1 + data[3];
  const uint8_t* strip = data + 4;
  const size_t length = size - 4;
  std::vector<uint8_t> row((size_t(width) + 7) / 8);
  TCcittRows faxRows;
  uint64_t bitPos = 0;
  size_t bytePos = 0;
  for (int r = 0; r < rows; ++r) {
    if (mode == 0) {
      bytePos += CCITTHuffmanGetLine(row.data(), strip + bytePos, length - bytePos, width, fillOrder);
      if (bytePos > length) std::abort();
    } else {
      bitPos = mode == 1 ? _CCITTHuffmanGetLine(row.data(), strip, length, width, fillOrder, bitPos)
                         : CCITT3_2D_GetLine(row.data(), strip, length, width, fillOrder, bitPos, faxRows);
      if (bitPos > uint64_t(length) * 8) std::abort();
    }
  }
  return 0;
}
