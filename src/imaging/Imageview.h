#pragma once
// The view: owns the image bitmap and the display state (zoom, background,
// view offsets). The hidden holder of the main form never paints; the list
// dialog's preview shows it scaled into its window.

#include <memory>

#include "framework/Component.h"
#include "framework/Events.h"
#include "imaging/Bitmap.h"

using TViewChangeEvent = TEvent<int>;  // (sender, kind): 1 zoom, 0 scroll

class TImageView : public TComponent {
public:
  explicit TImageView(TComponent* AOwner);

  TBitmap& Bitmap() { return FBitmap; }
  const TBitmap& Bitmap() const { return FBitmap; }

  TColor Background = clBlack;
  bool ScrollBars = false;
  TNotifyEvent OnImageChange;
  TViewChangeEvent OnViewChange;

  // Outer size of the control, and its client area (the same without a frame).
  int Width = 105;
  int Height = 105;
  int ClientWidth() const { return Width; }
  int ClientHeight() const { return Height; }

  int Zoom() const { return FZoom; }
  void SetZoom(int zoom);
  int ViewX() const { return FViewX; }
  int ViewY() const { return FViewY; }

  // The control size that shows the whole image at the current zoom.
  int GetIdealComponentWidth() const;
  int GetIdealComponentHeight() const;

  // Displayed size of the image at the current zoom.
  int DisplayedWidth() const;
  int DisplayedHeight() const;

  // Recomputes the scroll range and clamps the view offsets after a change.
  void Update();
  void ImageChange();

private:
  TBitmap FBitmap;
  int FZoom = 100;
  int FViewX = 0;
  int FViewY = 0;
};
