#include "framework/Menus.h"

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
