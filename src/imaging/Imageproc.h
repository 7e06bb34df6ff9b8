#pragma once
// Processing of the attached view's image: the plain stretch and the undo
// copy taken before it.

#include "framework/Component.h"
#include "imaging/Bitmap.h"
#include "imaging/Imageview.h"

enum class TResampleFilter { rfNone, rfTriangle, rfHermite, rfBell, rfBSpline, rfLanczos3, rfMitchell };

class TImageProc : public TComponent {
public:
  explicit TImageProc(TComponent* AOwner);

  void AttachedView(TImageView* view) { FView = view; }

  bool AutoUndo = true;
  const TBitmap& UndoImage() const { return FUndo; }
  void SaveUndo();
  void ClearUndo();
  void Undo();

  // Replaces the image by one of exactly NewWidth x NewHeight. A negative side
  // follows the other in proportion; both negative changes nothing. rfNone
  // scales nearest-pixel, as the platform's colour-on-colour stretch does;
  // every filter resamples smoothly (StretchSmooth).
  void Resample(int NewWidth, int NewHeight, TResampleFilter filter);

private:
  TImageView* FView = nullptr;
  TBitmap FUndo{1, 1};
};

// Nearest-pixel scaling of a 24-bit bitmap into a new one of the given size.
TBitmap StretchNearest(const TBitmap& source, int width, int height);
