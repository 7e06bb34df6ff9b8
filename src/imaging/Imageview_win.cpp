#include "imaging/Imageview.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/Application.h"
#include "framework/Handles_win.h"

namespace {

void Paint(const TImageView& view, HDC dc) {
  const TImageView::TPaintPlan plan = view.PaintPlan();
  const TGdiObject<HBRUSH> background(CreateSolidBrush(COLORREF(view.Background)));
  const RECT right{plan.DrawWidth, 0, view.ClientWidth(), view.ClientHeight()};
  const RECT below{0, plan.DrawHeight, view.ClientWidth(), view.ClientHeight()};
  if (plan.DrawWidth < view.ClientWidth()) FillRect(dc, &right, background.Get());
  if (plan.DrawHeight < view.ClientHeight()) FillRect(dc, &below, background.Get());
  const TBitmap& image = view.Bitmap();
  if (image.Height() == 0 || image.PixelFormat() != TPixelFormat::pf24bit) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.Width();
  info.bmiHeader.biHeight = -image.Height();  // row 0 at the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, 0, 0, plan.DrawWidth, plan.DrawHeight, plan.SourceX, plan.SourceY, plan.SourceWidth,
                plan.SourceHeight, image.Bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

// The view paints the whole client area itself, so the background is never
// erased first (no flicker between the erase and the picture).
LRESULT CALLBACK ViewProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const auto* view = reinterpret_cast<const TImageView*>(data);
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(window, &ps);
      DispatchCommand([&] { Paint(*view, dc); });
      EndPaint(window, &ps);
      return 0;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(window, ViewProc, 0); break;
  }
  return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace

void TImageView::AttachWindow(void* window) {
  if (FWindow) RemoveWindowSubclass(static_cast<HWND>(FWindow), ViewProc, 0);
  FWindow = window;
  if (!window) return;
  RECT client;
  GetClientRect(static_cast<HWND>(window), &client);
  Width = client.right;
  Height = client.bottom;
  SetWindowSubclass(static_cast<HWND>(window), ViewProc, 0, DWORD_PTR(this));
  Update();
}

void TImageView::Invalidate() {
  if (FWindow) InvalidateRect(static_cast<HWND>(FWindow), nullptr, FALSE);
}
