#pragma once

#include <cstdint>
// The screen's logical resolution, for pictures whose file states none.

int ScreenPixelsPerInchX();
int ScreenPixelsPerInchY();

// The system colour of the desktop background, as 0x00BBGGRR.
uint32_t DesktopColor();

// The primary screen's size, in pixels of a 96-dpi screen.
int ScreenWidth();
int ScreenHeight();
