#include "imaging/Imageview.h"

#include <algorithm>
#include <cmath>

TImageView::TImageView(TComponent* AOwner) : TComponent(AOwner) {}

// The framework rounds halves to even; so do we.
static int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

int TImageView::DisplayedWidth() const { return RoundHalfEven(FBitmap.Width() / 100.0 * FZoom); }

int TImageView::DisplayedHeight() const { return RoundHalfEven(FBitmap.Height() / 100.0 * FZoom); }

int TImageView::GetIdealComponentWidth() const {
  return DisplayedWidth() + 1 + (ScrollBars ? Width - ClientWidth() : 0);
}

int TImageView::GetIdealComponentHeight() const {
  return DisplayedHeight() + 1 + (ScrollBars ? Height - ClientHeight() : 0);
}

void TImageView::SetZoom(int zoom) {
  if (zoom <= 0 || zoom == FZoom) return;
  FZoom = zoom;
  Update();
  OnViewChange(this, 1);
}

void TImageView::Update() {
  const int dw = DisplayedWidth();
  const int dh = DisplayedHeight();
  int maxX = std::max(0, dw - ClientWidth());
  int maxY = std::max(0, dh - ClientHeight());
  if (dw <= Width && dh <= Height) maxX = maxY = 0;
  FViewX = std::clamp(FViewX, 0, maxX);
  FViewY = std::clamp(FViewY, 0, maxY);
  Invalidate();
}

// The source rectangle maps the drawn part back to image pixels; an image
// displayed at size 0 has none.
TImageView::TPaintPlan TImageView::PaintPlan() const {
  TPaintPlan plan;
  const int dw = DisplayedWidth();
  const int dh = DisplayedHeight();
  plan.DrawWidth = std::min(dw, ClientWidth());
  plan.DrawHeight = std::min(dh, ClientHeight());
  const double w = FBitmap.Width();
  const double h = FBitmap.Height();
  if (dw != 0) {
    plan.SourceX = RoundHalfEven(w / dw * FViewX);
    plan.SourceWidth = RoundHalfEven(w / dw * plan.DrawWidth);
  }
  if (dh != 0) {
    plan.SourceY = RoundHalfEven(h / dh * FViewY);
    plan.SourceHeight = RoundHalfEven(h / dh * plan.DrawHeight);
  }
  return plan;
}

void TImageView::ImageChange() { OnImageChange(this); }
