#include "imaging/Imageproc.h"

#include <cstring>
#include <vector>

#include "imaging/SmoothStretch.h"

TImageProc::TImageProc(TComponent* AOwner) : TComponent(AOwner) {}

void TImageProc::ClearUndo() { FUndo.SetSize(1, 1); }

void TImageProc::SaveUndo() {
  ClearUndo();
  if (!FView || FView->Bitmap().Empty()) return;
  FUndo = FView->Bitmap();
}

void TImageProc::Undo() {
  if (!FView || FUndo.Width() < 2 || FUndo.Height() < 2) return;
  FView->Bitmap() = FUndo;
  FView->Update();
  FView->ImageChange();
}

void TImageProc::Resample(int NewWidth, int NewHeight, TResampleFilter filter) {
  if (!FView) return;
  if (AutoUndo) SaveUndo();
  if (NewWidth < 0 && NewHeight < 0) return;
  const TBitmap& image = FView->Bitmap();
  // A proportional side of an empty image would divide by zero: nothing to scale.
  if ((NewWidth < 0 && image.Height() == 0) || (NewHeight < 0 && image.Width() == 0)) return;
  if (NewWidth < 0) NewWidth = static_cast<int>(int64_t(image.Width()) * NewHeight / image.Height());
  if (NewHeight < 0) NewHeight = static_cast<int>(int64_t(image.Height()) * NewWidth / image.Width());
  FView->Bitmap() = filter == TResampleFilter::rfNone ? StretchNearest(image, NewWidth, NewHeight)
                                                      : StretchSmooth(image, NewWidth, NewHeight);
  FView->Update();
  FView->ImageChange();
}

// Each destination pixel takes the source pixel under its centre: columns and
// rows are dropped when shrinking and repeated when enlarging.
TBitmap StretchNearest(const TBitmap& source, int width, int height) {
  TBitmap result(width, height, TPixelFormat::pf24bit);
  if (source.Empty() || result.Empty()) return result;
  std::vector<size_t> column(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x)
    column[size_t(x)] = size_t((2 * int64_t(x) + 1) * source.Width() / (2 * int64_t(width))) * 3;
  int previous = -1;
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>((2 * int64_t(y) + 1) * source.Height() / (2 * int64_t(height)));
    uint8_t* out = result.ScanLine(y);
    if (sy == previous) {
      std::memcpy(out, result.ScanLine(y - 1), size_t(width) * 3);
      continue;
    }
    const uint8_t* in = source.ScanLine(sy);
    for (int x = 0; x < width; ++x) std::memcpy(out + size_t(x) * 3, in + column[size_t(x)], 3);
    previous = sy;
  }
  return result;
}
