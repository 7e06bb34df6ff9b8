#include <gtest/gtest.h>

#include <climits>

#include "app/Traymenu.h"

namespace {

TMenuGeometry Screen(int rows, int width = 1024) {
  TMenuGeometry geometry;
  geometry.Rows = rows;
  geometry.ScreenWidth = width;
  geometry.FixedWidth = 150;
  geometry.TrailingWidth = 60;
  return geometry;
}

int Width100(int) { return 100; }

}  // namespace

TEST(Traymenu_ScrollingMenusFor, EachNumberComparedByItself) {
  EXPECT_TRUE(ScrollingMenusFor(4, 10));
  EXPECT_TRUE(ScrollingMenusFor(4, 90));
  EXPECT_FALSE(ScrollingMenusFor(4, 0));
  EXPECT_FALSE(ScrollingMenusFor(5, 0));
  EXPECT_FALSE(ScrollingMenusFor(5, 1));
  EXPECT_FALSE(ScrollingMenusFor(10, 0));
}

TEST(Traymenu_MenuRows, ScreenHeightOverLineHeight) {
  EXPECT_EQ(MenuRows(768, 19, false), 40);
  EXPECT_EQ(MenuRows(768, -19, false), 40);
  EXPECT_EQ(MenuRows(768, 19, true), INT_MAX);
}

TEST(Traymenu_MenuRows, AtLeastOneRow) {
  EXPECT_EQ(MenuRows(768, 0, false), 1);
  EXPECT_EQ(MenuRows(10, 19, false), 1);
}

TEST(Traymenu_FitMenu, CatalogueThatFitsIsListedWhole) {
  const TMenuFit fit = FitMenu(Screen(40), 60, Width100);
  EXPECT_EQ(fit.Listed, 60);
  EXPECT_FALSE(fit.More);
  EXPECT_EQ(FitMenu(Screen(40), 0, Width100).Listed, 0);
  EXPECT_FALSE(FitMenu(Screen(40), 0, Width100).More);
}

// 5 fixed items and 33 entries fill the first column but for two rows: the
// separator and "Exit" take them.
TEST(Traymenu_FitMenu, TrailingItemsNeedRoomInTheLastColumn) {
  EXPECT_FALSE(FitMenu(Screen(40), 33, Width100).More);
  const TMenuFit full = FitMenu(Screen(40, 200), 35, Width100);
  EXPECT_TRUE(full.More);
  EXPECT_EQ(full.Listed, 32);
}

TEST(Traymenu_FitMenu, ColumnsStopAtTheScreensWidth) {
  // 150 + 8 columns of 100 = 950 pixels fit 1024; a ninth does not.
  const TMenuFit fit = FitMenu(Screen(40), 100000, Width100);
  EXPECT_TRUE(fit.More);
  EXPECT_EQ(fit.Listed, 9 * 40 - 5 - 3);
}

TEST(Traymenu_FitMenu, OnlyEntriesThatMayFitAreMeasured) {
  int asked = 0;
  FitMenu(Screen(40), 100000, [&](int) {
    ++asked;
    return 100;
  });
  EXPECT_LT(asked, 400);
}

TEST(Traymenu_FitMenu, OneRowListsNothingButMore) {
  const TMenuFit fit = FitMenu(Screen(1), 10, Width100);
  EXPECT_EQ(fit.Listed, 0);
  EXPECT_TRUE(fit.More);
}

TEST(Traymenu_FitMenu, ScrollingMenusHaveOneColumn) {
  const TMenuFit fit = FitMenu(Screen(INT_MAX), 1000, Width100);
  EXPECT_EQ(fit.Listed, 1000);
  EXPECT_FALSE(fit.More);
}
