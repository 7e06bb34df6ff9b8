#include "framework/Screen.h"

#include <windows.h>

namespace {

int ScreenDeviceCaps(int index) {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;  // no screen DC (service session): the system's default
  const int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value;
}

}  // namespace

int ScreenPixelsPerInchX() { return ScreenDeviceCaps(LOGPIXELSX); }
int ScreenPixelsPerInchY() { return ScreenDeviceCaps(LOGPIXELSY); }
