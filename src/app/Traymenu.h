#pragma once
// How the tray menu lays out the catalogue: rows per column, and how many of
// the catalogue's entries the screen can show in full.
//
// The menu is its fixed items (the commands and their separators), one item
// per listed entry, then a separator and "Exit". The item at menu position
// p starts a new column when p is a multiple of the rows. When the whole
// catalogue does not fit the screen, only the entries that fit are listed,
// followed by "More...", which opens the wallpaper list dialog, and "Exit".

#include <functional>

// True on systems whose menus scroll (4.10 and 4.90): each number compared by itself.
bool ScrollingMenusFor(int major, int minor);

// Items per column: the screen's height divided by the height of a menu
// line, at least 1; unlimited when menus scroll.
int MenuRows(int screenHeight, int lineHeight, bool scrollingMenus);

struct TMenuGeometry {
  int FixedItems = 0;  // the items before the entries
  int Rows = 1;
  int ScreenWidth = 0;
  int FixedWidth = 0;     // the widest of the fixed items
  int TrailingWidth = 0;  // the widest of "More...", "Exit"
};

struct TMenuFit {
  int Listed = 0;     // entries that get an item
  bool More = false;  // whether "More..." follows them
};

// entryWidth(i) is the width of entry i's item; it is asked only for the
// entries that may fit. More entries never list fewer of them.
TMenuFit FitMenu(const TMenuGeometry& geometry, int entries, const std::function<int(int)>& entryWidth);
