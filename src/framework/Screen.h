#pragma once
// The screen's logical resolution, for pictures whose file states none.

int ScreenPixelsPerInchX();
int ScreenPixelsPerInchY();
