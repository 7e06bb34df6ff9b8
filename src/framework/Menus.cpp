#include "framework/Menus.h"

#include "framework/UserHooks.h"

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Add(std::unique_ptr<TMenuItem> item) {
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

TMenuItem* TPopupMenu::Add(const std::string& caption, TNotifyEvent onClick) {
  auto item = std::make_unique<TMenuItem>();
  item->Caption = caption;
  item->OnClick = std::move(onClick);
  return Add(std::move(item));
}

void TPopupMenu::Delete(int index) { FItems.erase(FItems.begin() + index); }

// The item is clicked after the menu has closed, so its handler may open
// dialogs of its own.
void TPopupMenu::Popup(int x, int y, void* ownerWindow) {
  OnPopup(this);
  const auto hook = UserHooks().Popup;
  TMenuItem* chosen = hook ? hook(*this) : Track(x, y, ownerWindow);
  if (chosen) chosen->Click();
}
