#pragma once
// Popup menus: a list of items that the program builds and rebuilds while the
// menu is closed. The platform's menu is made from the items each time the
// menu pops up, and the chosen item is clicked after it has closed.

#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Events.h"

// mbBarBreak starts a new column with a dividing bar.
enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TObject {
public:
  std::string Caption;  // "-" makes a separator
  std::string Hint;
  int Tag = 0;
  bool Default = false;  // shown in bold; what a tray double-click clicks
  bool Enabled = true;
  TMenuBreak Break = TMenuBreak::mbNone;
  TNotifyEvent OnClick;

  bool IsLine() const { return Caption == "-"; }
  void Click() { OnClick(this); }
};

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(size_t(index)).get(); }
  // Appends an item that the menu then owns.
  TMenuItem* Add(std::unique_ptr<TMenuItem> item);
  TMenuItem* Add(const std::string& caption, TNotifyEvent onClick = {});
  // Removes the item at index and frees it.
  void Delete(int index);

  // Runs before the menu is shown, so that it can rebuild the items.
  TNotifyEvent OnPopup;
  // The component that popped the menu up last.
  TComponent* PopupComponent = nullptr;

  // Runs OnPopup, shows the menu at the screen position, owned by the given
  // window (which should be in the foreground), and clicks the chosen item
  // once the menu has closed.
  void Popup(int x, int y, void* ownerWindow);

private:
  // Shows the platform's menu and returns the item chosen, or null.
  TMenuItem* Track(int x, int y, void* ownerWindow);

  std::vector<std::unique_ptr<TMenuItem>> FItems;
};
