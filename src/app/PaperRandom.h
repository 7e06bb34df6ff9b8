#pragma once
// The generator of the random wallpaper choice: its own linear congruential
// sequence, state 1 at start and never re-seeded, so every run of the program
// draws the same numbers (346, 130, ...).

#include <cstdint>

class TPaperRandom {
public:
  // A number from 0 to 32767.
  int Next() {
    FState = FState * 22695477u + 1u;
    return int((FState >> 16) & 0x7FFF);
  }

private:
  uint32_t FState = 1;
};

// The process's one generator.
TPaperRandom& PaperRandom();
