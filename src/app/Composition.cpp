#include "app/Composition.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/Exceptions.h"

namespace {

int Wrapped(int value, int size) { return ((value % size) + size) % size; }

// The first pixel is written, then the filled part doubled until the row is full.
void FillRow(uint8_t* row, int width, TColor colour) {
  if (width <= 0) return;
  row[0] = uint8_t(colour >> 16), row[1] = uint8_t(colour >> 8), row[2] = uint8_t(colour);
  const size_t bytes = 3 * size_t(width);
  for (size_t filled = 3; filled < bytes; filled *= 2) std::memcpy(row + filled, row, std::min(filled, bytes - filled));
}

// The area's row y as it shows: the picture's row repeated from the area's
// left edge when tiled, else centred on the background.
void AreaRow(const TComposedPicture& placed, int y, TColor background, std::vector<uint8_t>& row) {
  const TBitmap& picture = *placed.Picture;
  const int width = placed.Area.Width;
  const int pw = picture.Width(), ph = picture.Height();
  if (placed.Tiled) {
    const uint8_t* source = picture.ScanLine(y % ph);
    for (int x = 0; x < width; x += pw)
      std::memcpy(row.data() + 3 * size_t(x), source, 3 * size_t(std::min(pw, width - x)));
    return;
  }
  FillRow(row.data(), width, background);
  const int top = (placed.Area.Height - ph) / 2;
  const int sy = y - top;
  if (sy < 0 || sy >= ph) return;
  const int left = (width - pw) / 2;
  const int from = std::max(0, -left), to = std::min(pw, width - left);
  if (from < to)
    std::memcpy(row.data() + 3 * size_t(left + from), picture.ScanLine(sy) + 3 * size_t(from), 3 * size_t(to - from));
}

}  // namespace

void CropToArea(TBitmap& picture, bool tiled, int width, int height) {
  const int pw = picture.Width(), ph = picture.Height();
  if (pw <= width && ph <= height) return;
  const int w = std::min(pw, width), h = std::min(ph, height);
  const int x0 = tiled || pw <= width ? 0 : -((width - pw) / 2);
  const int y0 = tiled || ph <= height ? 0 : -((height - ph) / 2);
  TBitmap part(w, h);
  for (int y = 0; y < h; ++y) std::memcpy(part.ScanLine(y), picture.ScanLine(y0 + y) + 3 * size_t(x0), 3 * size_t(w));
  picture = std::move(part);
}

// Each area row is made once and copied into the bitmap in at most two
// pieces: the part before the wrap and the part after it.
TBitmap ComposeWallpaper(const TScreenRect& virtualScreen, std::span<const TComposedPicture> pictures,
                         TColor background) {
  const int vw = virtualScreen.Width, vh = virtualScreen.Height;
  TBitmap composed(vw, vh);
  for (int y = 0; y < vh; ++y) FillRow(composed.ScanLine(y), vw, background);
  std::vector<uint8_t> row;
  for (const TComposedPicture& placed : pictures) {
    const TScreenRect& area = placed.Area;
    if (!placed.Picture || placed.Picture->Empty() || area.Width <= 0 || area.Height <= 0) continue;
    if (placed.Picture->PixelFormat() != TPixelFormat::pf24bit || area.Width > vw || area.Height > vh)
      throw EInvalidGraphicOperation("Cannot compose the wallpaper");
    row.resize(3 * size_t(area.Width));
    const int left = Wrapped(area.Left, vw);
    const int first = std::min(area.Width, vw - left);
    for (int y = 0; y < area.Height; ++y) {
      AreaRow(placed, y, background, row);
      uint8_t* target = composed.ScanLine(Wrapped(area.Top + y, vh));
      std::memcpy(target + 3 * size_t(left), row.data(), 3 * size_t(first));
      std::memcpy(target, row.data() + 3 * size_t(first), 3 * size_t(area.Width - first));
    }
  }
  return composed;
}
