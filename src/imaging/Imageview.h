#pragma once
// The view: owns the image bitmap and the display state (zoom, background,
// view offsets). The hidden holder of the main form never paints; the list
// dialog's preview shows it scaled into its window, anchored at the top-left
// corner, with Background on the strips right of it and below it.

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

  // Recomputes the scroll range and clamps the view offsets after a change,
  // and repaints the window showing the view.
  void Update();
  void ImageChange();

  // What one paint of the client area draws: the source rectangle of the
  // image scaled into (0, 0, DrawWidth, DrawHeight); Background fills the
  // rest of the client area.
  struct TPaintPlan {
    int SourceX = 0, SourceY = 0, SourceWidth = 0, SourceHeight = 0;
    int DrawWidth = 0, DrawHeight = 0;
  };
  TPaintPlan PaintPlan() const;

  // The window that shows the view, or null; the view takes its client size.
  void AttachWindow(void* window);

private:
  void Invalidate();
  void* FWindow = nullptr;
  TBitmap FBitmap;
  int FZoom = 100;
  int FViewX = 0;
  int FViewY = 0;
};
