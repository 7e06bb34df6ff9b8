#include <gtest/gtest.h>

#include "imaging/Imageholder.h"


TEST(ImageHolder_Fit, WholeImageAtOneScale) {
  TImageHolder holder(nullptr);
  holder.Width = 186;
  holder.Height = 140;
  holder.Fit();
  EXPECT_EQ(holder.Zoom(), 100);  // empty: nothing changes
  holder.Bitmap().SetSize(100, 50);
  holder.Fit();
  EXPECT_EQ(holder.Zoom(), 186);
  holder.Bitmap().SetSize(1600, 800);
  holder.Fit();
  EXPECT_EQ(holder.Zoom(), 11);
}

TEST(ImageHolder_Fit, HugeImageGetsTheSmallestZoom) {
  TImageHolder holder(nullptr);
  holder.Width = 186;
  holder.Height = 140;
  holder.SetZoom(50);
  holder.Bitmap().SetSize(20000, 10);
  holder.Fit();
  EXPECT_EQ(holder.Zoom(), 1);
}

TEST(ImageView_PaintPlan, WideImageFillsTheWidthFromTheTopLeft) {
  TImageHolder holder(nullptr);
  holder.Width = 186;
  holder.Height = 140;
  holder.Bitmap().SetSize(400, 100);
  holder.Fit();  // min(46, 140) = 46
  const TImageView::TPaintPlan plan = holder.PaintPlan();
  EXPECT_EQ(plan.DrawWidth, 184);
  EXPECT_EQ(plan.DrawHeight, 46);
  EXPECT_EQ(plan.SourceX, 0);
  EXPECT_EQ(plan.SourceY, 0);
  EXPECT_EQ(plan.SourceWidth, 400);
  EXPECT_EQ(plan.SourceHeight, 100);
}

TEST(ImageView_PaintPlan, ImageLargerThanTheClientIsCut) {
  TImageHolder holder(nullptr);
  holder.Width = 186;
  holder.Height = 140;
  holder.Bitmap().SetSize(300, 300);
  const TImageView::TPaintPlan plan = holder.PaintPlan();  // zoom 100
  EXPECT_EQ(plan.DrawWidth, 186);
  EXPECT_EQ(plan.DrawHeight, 140);
  EXPECT_EQ(plan.SourceWidth, 186);
  EXPECT_EQ(plan.SourceHeight, 140);
}

TEST(ImageView_PaintPlan, EmptyImageDrawsNothing) {
  TImageHolder holder(nullptr);
  const TImageView::TPaintPlan plan = holder.PaintPlan();
  EXPECT_EQ(plan.DrawWidth, 0);
  EXPECT_EQ(plan.DrawHeight, 0);
}
