#include "framework/Menus.h"

// Without a window manager there is no menu to show, and nothing is chosen.
TMenuItem* TPopupMenu::Track(int, int, void*) { return nullptr; }
