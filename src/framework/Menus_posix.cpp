#include "framework/Menus.h"

// Without a window manager there is no menu to show: the menu is only
// rebuilt, and nothing is chosen.
void TPopupMenu::Popup(int, int, void*) { OnPopup(this); }
