#include "framework/Screen.h"

// No display to ask: the logical resolution Windows uses at 100 % scaling.
int ScreenPixelsPerInchX() { return 96; }
int ScreenPixelsPerInchY() { return 96; }
