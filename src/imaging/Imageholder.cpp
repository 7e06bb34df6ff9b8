#include "imaging/Imageholder.h"

#include <algorithm>

TImageHolder::TImageHolder(TComponent* AOwner)
    : TImageView(AOwner), FIO(new TImageIO(this)), FProc(new TImageProc(this)) {
  FIO->AttachedView(this);
  FProc->AttachedView(this);
}

// An image so large that its zoom would truncate to 0 is shown at 1 per
// cent, the smallest zoom there is, rather than left at the last one.
void TImageHolder::Fit() {
  const TBitmap& image = Bitmap();
  if (image.Width() == 0 || image.Height() == 0) return;
  const int byWidth = static_cast<int>(Width / (image.Width() / 100.0));
  const int byHeight = static_cast<int>(Height / (image.Height() / 100.0));
  SetZoom(std::max(1, std::min(byWidth, byHeight)));
}
