#include <gtest/gtest.h>

#include "app/Placement.h"

// Sizes are given in pixels; the placement works on the measured size, one more each way.
TEST(Placement_FittedSize, ScreenOf1024By768) {
  const struct {
    int W, H, ExpectedW, ExpectedH;
  } cases[] = {
      {800, 600, 1023, 767},  {320, 240, 1021, 767},  {600, 800, 575, 767},
      {900, 700, 985, 767},   {1000, 1000, 767, 767}, {2000, 1000, 1023, 511},
      {1024, 768, 1023, 767}, {1023, 767, 1024, 768}, {100, 1000, 77, 767},
  };
  for (const auto& c : cases) {
    const TFittedSize size = FittedSize(c.W + 1, c.H + 1, 1024, 768);
    EXPECT_EQ(size.Width, c.ExpectedW) << c.W << "x" << c.H;
    EXPECT_EQ(size.Height, c.ExpectedH) << c.W << "x" << c.H;
  }
}

TEST(Placement_ResizeForPlacement, StretchIgnoresTheShapeAndOthersKeepTheSize) {
  TImageHolder holder(nullptr);
  holder.Bitmap().SetSize(50, 400);
  holder.ImageChange();
  ResizeForPlacement(holder, plStretch, 1024, 768, false);
  EXPECT_EQ(holder.Bitmap().Width(), 1023);
  EXPECT_EQ(holder.Bitmap().Height(), 767);
  for (int placement : {int(plTile), int(plCenter), 7}) {
    ResizeForPlacement(holder, placement, 640, 480, true);
    EXPECT_EQ(holder.Bitmap().Width(), 1023);
  }
}
