#include "imaging/Alpha.h"

namespace {

// c × a + m × (255 − a), divided by 255 and rounded to the nearest: the
// usual "over" of straight (not premultiplied) alpha on 8-bit channels.
inline uint8_t Over(unsigned colour, unsigned alpha, unsigned matte) {
  const unsigned t = colour * alpha + matte * (255 - alpha) + 128;
  return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

}  // namespace

void CompositeRow(const uint8_t* pixels, int red, int width, TColor matte, uint8_t* out) {
  const unsigned mr = matte & 0xFF, mg = (matte >> 8) & 0xFF, mb = (matte >> 16) & 0xFF;
  const int blue = 2 - red;
  for (int x = 0; x < width; ++x, pixels += 4, out += 3) {
    const unsigned alpha = pixels[3];
    if (alpha == 255) {
      out[0] = pixels[blue];
      out[1] = pixels[1];
      out[2] = pixels[red];
      continue;
    }
    out[0] = Over(pixels[blue], alpha, mb);
    out[1] = Over(pixels[1], alpha, mg);
    out[2] = Over(pixels[red], alpha, mr);
  }
}
