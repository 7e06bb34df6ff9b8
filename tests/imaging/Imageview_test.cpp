#include <gtest/gtest.h>

#include <memory>

#include "imaging/Imageholder.h"

namespace {

// The list dialog's preview: 186 by 140 pixels.
std::unique_ptr<TImageHolder> Preview(int width = 0, int height = 0) {
  auto holder = std::make_unique<TImageHolder>(nullptr);
  holder->Width = 186;
  holder->Height = 140;
  holder->Bitmap().SetSize(width, height);
  return holder;
}

}  // namespace

TEST(ImageHolder_Fit, WholeImageAtOneScale) {
  auto preview = Preview();
  TImageHolder& holder = *preview;
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
  auto holder = Preview(20000, 10);
  holder->SetZoom(50);
  holder->Fit();
  EXPECT_EQ(holder->Zoom(), 1);
}

TEST(ImageView_PaintPlan, WideImageFillsTheWidthFromTheTopLeft) {
  auto holder = Preview(400, 100);
  holder->Fit();  // min(46, 140) = 46
  const TImageView::TPaintPlan plan = holder->PaintPlan();
  EXPECT_EQ(plan.DrawWidth, 184);
  EXPECT_EQ(plan.DrawHeight, 46);
  EXPECT_EQ(plan.SourceX, 0);
  EXPECT_EQ(plan.SourceY, 0);
  EXPECT_EQ(plan.SourceWidth, 400);
  EXPECT_EQ(plan.SourceHeight, 100);
}

TEST(ImageView_PaintPlan, ImageLargerThanTheClientIsCut) {
  const TImageView::TPaintPlan plan = Preview(300, 300)->PaintPlan();  // zoom 100
  EXPECT_EQ(plan.DrawWidth, 186);
  EXPECT_EQ(plan.DrawHeight, 140);
  EXPECT_EQ(plan.SourceWidth, 186);
  EXPECT_EQ(plan.SourceHeight, 140);
}

TEST(ImageView_PaintPlan, EmptyImageDrawsNothing) {
  const TImageView::TPaintPlan plan = Preview()->PaintPlan();
  EXPECT_EQ(plan.DrawWidth, 0);
  EXPECT_EQ(plan.DrawHeight, 0);
}
