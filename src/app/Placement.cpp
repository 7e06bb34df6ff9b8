#include "app/Placement.h"

TFittedSize FittedSize(double W, double H, int SW, int SH) {
  const double r = W / H;
  if (SW > W && SH > H) {
    if (W >= H) {
      W = SW - 1;
      H = W / r;
    } else {
      H = SH - 1;
      W = H * r;
    }
  }
  if (SW < W) {
    W = SW - 1;
    H = W / r;
  }
  if (SH < H) {
    H = SH - 1;
    W = H * r;
  }
  return {static_cast<int>(W), static_cast<int>(H)};
}

void ResizeForPlacement(TImageHolder& holder, int placement, int SW, int SH, bool smooth) {
  const TResampleFilter filter = smooth ? TResampleFilter::rfTriangle : TResampleFilter::rfNone;
  if (placement == plStretch) {
    holder.Resample(SW - 1, SH - 1, filter);
  } else if (placement == plStretchProportionally) {
    const TFittedSize size = FittedSize(holder.GetIdealComponentWidth(), holder.GetIdealComponentHeight(), SW, SH);
    holder.Resample(size.Width, size.Height, filter);
  }
}
