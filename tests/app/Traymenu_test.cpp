#include <gtest/gtest.h>

#include <climits>

#include "app/Traymenu.h"

namespace {

TMenuGeometry Screen(int rows, int width = 1024, int fixedItems = 5) {
  TMenuGeometry geometry;
  geometry.FixedItems = fixedItems;
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
// separator and "Exit" take them. With more entries the trailing items begin
// a column of their own where the screen has room, and where it has none
// "More..." takes the separator's place: no entry count lists fewer.
TEST(Traymenu_FitMenu, ListedEntriesNeverShrinkAsTheCatalogueGrows) {
  for (int entries : {33, 34, 35, 36}) EXPECT_FALSE(FitMenu(Screen(40), entries, Width100).More) << entries;
  EXPECT_FALSE(FitMenu(Screen(40, 200), 33, Width100).More);
  for (int entries : {34, 35, 100}) {
    const TMenuFit narrow = FitMenu(Screen(40, 200), entries, Width100);
    EXPECT_TRUE(narrow.More) << entries;
    EXPECT_EQ(narrow.Listed, 33) << entries;
  }
}

TEST(Traymenu_FitMenu, ColumnsStopAtTheScreensWidth) {
  // 150 + 8 columns of 100 = 950 pixels fit 1024; a ninth does not, but a
  // last one of 60 for "More..." and "Exit" does. The fixed items take
  // their rows of the first column.
  for (const int fixedItems : {5, 10}) {
    const TMenuFit fit = FitMenu(Screen(40, 1024, fixedItems), 100000, Width100);
    EXPECT_TRUE(fit.More);
    EXPECT_EQ(fit.Listed, 9 * 40 - fixedItems);
  }
}

TEST(Traymenu_FitMenu, OnlyEntriesThatMayFitAreMeasured) {
  int asked = 0;
  FitMenu(Screen(40), 100000, [&](int) {
    ++asked;
    return 100;
  });
  EXPECT_LT(asked, 400);
}

// Each entry is a column: 150 + 7 of 100 + two trailing of 60 fill 970 pixels.
TEST(Traymenu_FitMenu, OneRowGivesEachItemAColumn) {
  const TMenuFit fit = FitMenu(Screen(1), 10, Width100);
  EXPECT_EQ(fit.Listed, 7);
  EXPECT_TRUE(fit.More);
}

TEST(Traymenu_FitMenu, ScrollingMenusHaveOneColumn) {
  const TMenuFit fit = FitMenu(Screen(INT_MAX), 1000, Width100);
  EXPECT_EQ(fit.Listed, 1000);
  EXPECT_FALSE(fit.More);
}
