#include <gtest/gtest.h>

#include "app/Composition.h"

namespace {

constexpr TColor Background = 0x102030;

TBitmap Solid(int width, int height, TColor colour) {
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = uint8_t(colour >> 16), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour);
    }
  return bitmap;
}

TColor At(const TBitmap& bitmap, int x, int y) {
  const uint8_t* p = bitmap.ScanLine(y) + 3 * x;
  return TColor(p[2]) | TColor(p[1]) << 8 | TColor(p[0]) << 16;
}

}  // namespace

// A 1024 by 768 primary and an 800 by 600 monitor beside it, right or left;
// the left one lies at negative coordinates and is drawn at the far right.
TEST(Composition_ComposeWallpaper, EachMonitorsPictureInItsWrappedArea) {
  const TBitmap red = Solid(1023, 767, 0x0000FF), small = Solid(10, 6, 0x00FF00);
  const struct {
    TScreenRect Virtual, Second;
    int SecondInBitmap;
  } layouts[] = {
      {{0, 0, 1824, 768}, {1024, 0, 800, 600}, 1024},
      {{-800, 0, 1824, 768}, {-800, 0, 800, 600}, 1024},
      {{-800, -168, 1824, 936}, {-800, -168, 800, 600}, 1024},
  };
  for (const auto& layout : layouts) {
    const TComposedPicture pictures[] = {{&red, false, {0, 0, 1024, 768}}, {&small, false, layout.Second}};
    const TBitmap composed = ComposeWallpaper(layout.Virtual, pictures, Background);
    ASSERT_EQ(composed.Width(), layout.Virtual.Width);
    ASSERT_EQ(composed.Height(), layout.Virtual.Height);
    EXPECT_EQ(At(composed, 0, 0), 0x0000FFu);        // Stretch's 1023 by 767, centred: (1024 - 1023) / 2 = 0
    EXPECT_EQ(At(composed, 1023, 767), Background);  // the pixel it leaves
    const auto row = [&](int y) {
      return ((layout.Second.Top + y) % composed.Height() + composed.Height()) % composed.Height();
    };
    const int x = layout.SecondInBitmap;
    EXPECT_EQ(At(composed, x + 395, row(297)), 0x00FF00u) << layout.Second.Top;  // centred: from 395, 297
    EXPECT_EQ(At(composed, x + 394, row(297)), Background);
    EXPECT_EQ(At(composed, x + 405, row(302)), Background);
    EXPECT_EQ(At(composed, x + 10, row(700)), Background);  // below the 600-pixel monitor
  }
}

TEST(Composition_ComposeWallpaper, TiledFromTheAreaCornerAndCentredLargerOnesCut) {
  TBitmap checks = Solid(2, 2, 0xFFFFFF);
  checks.ScanLine(0)[0] = checks.ScanLine(0)[1] = checks.ScanLine(0)[2] = 0;  // black at 0,0
  const TBitmap big = Solid(30, 30, 0xFF0000);
  const TComposedPicture pictures[] = {{&checks, true, {0, 0, 5, 5}}, {&big, false, {5, 0, 10, 5}}};
  const TBitmap composed = ComposeWallpaper({0, 0, 15, 5}, pictures, Background);
  EXPECT_EQ(At(composed, 0, 0), 0u);
  EXPECT_EQ(At(composed, 4, 4), 0u);
  EXPECT_EQ(At(composed, 3, 2), 0xFFFFFFu);
  for (int x = 5; x < 15; ++x) EXPECT_EQ(At(composed, x, 2), 0xFF0000u) << x;
}
