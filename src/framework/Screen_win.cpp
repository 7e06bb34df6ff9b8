#include "framework/Screen.h"

#include <windows.h>

#include "framework/Handles_win.h"

namespace {

int ScreenDeviceCaps(int index) {
  const TWindowDC screen(nullptr);
  if (!screen.Get()) return 96;  // no screen DC (service session): the system's default
  return GetDeviceCaps(screen.Get(), index);
}

}  // namespace

int ScreenPixelsPerInchX() { return ScreenDeviceCaps(LOGPIXELSX); }
int ScreenPixelsPerInchY() { return ScreenDeviceCaps(LOGPIXELSY); }

uint32_t DesktopColor() { return GetSysColor(COLOR_BACKGROUND); }

int ScreenWidth() { return MulDiv(GetSystemMetrics(SM_CXSCREEN), 96, ScreenPixelsPerInchX()); }
int ScreenHeight() { return MulDiv(GetSystemMetrics(SM_CYSCREEN), 96, ScreenPixelsPerInchY()); }
