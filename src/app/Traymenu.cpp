#include "app/Traymenu.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

bool ScrollingMenusFor(int major, int minor) { return major >= 4 && minor >= 10; }

// A line height of 0 (a system that reports none) leaves one row rather
// than dividing by zero.
int MenuRows(int screenHeight, int lineHeight, bool scrollingMenus) {
  if (scrollingMenus) return INT_MAX;
  if (lineHeight == 0) return 1;
  return std::max(1, std::abs(screenHeight / lineHeight));
}

// Entries are placed one by one. After n of them the menu could end with
// the trailing items (separator and "Exit", with "More..." before them when
// entries are left out): they go below the last entry, in its column, and
// must leave that column no taller than the rows and the columns no wider
// than the screen. Once the columns alone are wider than the screen no
// further entry can fit.
TMenuFit FitMenu(const TMenuGeometry& geometry, int entries, const std::function<int(int)>& entryWidth) {
  const int rows = geometry.Rows;
  int closed = 0;                      // width of the full columns
  int current = geometry.FixedWidth;   // width of the last column
  int best = 0;
  for (int n = 0;; ++n) {
    const int items = FixedMenuItems + n;
    const int inLastColumn = items - (items - 1) / rows * rows;
    const auto fits = [&](int trailing) {
      return inLastColumn <= rows - trailing && closed + std::max(current, geometry.TrailingWidth) <= geometry.ScreenWidth;
    };
    if (n == entries) {
      if (fits(2)) return {entries, false};
      break;
    }
    if (fits(3)) best = n;
    if (items % rows == 0) {
      closed += current;
      current = 0;
    }
    current = std::max(current, entryWidth(n));
    if (closed + current > geometry.ScreenWidth) break;
  }
  return {best, true};
}
