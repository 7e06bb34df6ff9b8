#include "framework/Screen.h"

// No display to ask: the logical resolution Windows uses at 100 % scaling.
int ScreenPixelsPerInchX() { return 96; }
int ScreenPixelsPerInchY() { return 96; }

// The classic desktop's teal.
uint32_t DesktopColor() { return 0x00808000; }

// A nominal screen, the size Wine's desktop has by default.
int ScreenWidth() { return 1024; }
int ScreenHeight() { return 768; }
