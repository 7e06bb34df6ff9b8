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
// two trailing items: the separator and "Exit" when the whole catalogue is
// listed, "More..." and "Exit" when entries are left out. Like every item,
// a trailing one at a multiple of the rows begins a column of its own, so a
// catalogue whose entries fit is listed whole wherever its last column ends,
// and the two endings taking the same room keeps the rule monotonic. The
// columns must stay within the screen's width; once the entries' columns
// alone are wider no further entry can fit.
TMenuFit FitMenu(const TMenuGeometry& geometry, int entries, const std::function<int(int)>& entryWidth) {
  const int rows = geometry.Rows;
  const int fixed = geometry.FixedItems;
  int closed = 0;                     // width of the full columns
  int current = geometry.FixedWidth;  // width of the last column
  int best = 0;
  for (int n = 0;; ++n) {
    int width = closed, column = current;
    for (int p = fixed + n; p < fixed + n + 2; ++p) {
      if (p % rows == 0) {
        width += column;
        column = 0;
      }
      column = std::max(column, geometry.TrailingWidth);
    }
    const bool endFits = width + column <= geometry.ScreenWidth;
    if (n == entries) {
      if (endFits) return {entries, false};
      break;
    }
    if (endFits) best = n;
    if ((fixed + n) % rows == 0) {
      closed += current;
      current = 0;
    }
    current = std::max(current, entryWidth(n));
    if (closed + current > geometry.ScreenWidth) break;
  }
  return {best, true};
}
