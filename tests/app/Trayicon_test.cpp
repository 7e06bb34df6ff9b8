#include <gtest/gtest.h>

#include "app/Trayicon.h"
#include "framework/UserHooks.h"

TEST(TrayIcon_Tip, ShortPartUpToTheBar) {
  EXPECT_EQ(TTrayIcon::Tip("Wallpaper: a.jpg|long help"), "Wallpaper: a.jpg");
  EXPECT_EQ(TTrayIcon::Tip("|all long"), "");
}

TEST(TrayIcon_Tip, AtMost63Characters) {
  const std::string hint(70, 'x');
  EXPECT_EQ(TTrayIcon::Tip(hint), std::string(63, 'x'));
  std::string accented;
  for (int i = 0; i < 70; ++i) accented += "\xC3\xA9";  // é
  EXPECT_EQ(TTrayIcon::Tip(accented).size(), 126u);
}

TEST(TrayIcon_MouseMessage, LeftClickNeedsItsPress) {
  TTrayIcon icon(nullptr);
  int clicks = 0;
  icon.OnClick = TMouseEvent([&](TObject*, TMouseButton button, TShiftState, int, int) {
    EXPECT_EQ(button, TMouseButton::mbLeft);
    ++clicks;
  });
  icon.MouseMessage(0x0202);
  EXPECT_EQ(clicks, 0);
  icon.MouseMessage(0x0201);
  icon.MouseMessage(0x0202);
  EXPECT_EQ(clicks, 1);
}

TEST(TrayIcon_MouseMessage, DoubleClickWithoutDefaultItemRaisesOnDblClick) {
  TTrayIcon icon(nullptr);
  TPopupMenu menu(nullptr);
  int defaultClicks = 0, dblClicks = 0;
  TMenuItem* item = menu.Add("Chage Paper", TNotifyEvent([&](TObject*) { ++defaultClicks; }));
  icon.PopupMenu = &menu;
  icon.OnDblClick = TNotifyEvent([&](TObject*) { ++dblClicks; });
  icon.MouseMessage(0x0203);
  EXPECT_EQ(dblClicks, 1);
  item->Default = true;
  icon.MouseMessage(0x0203);
  EXPECT_EQ(defaultClicks, 1);
  EXPECT_EQ(dblClicks, 1);
  item->Enabled = false;
  icon.MouseMessage(0x0203);
  EXPECT_EQ(dblClicks, 2);
}

TEST(TrayIcon_MouseMessage, RightClickWithoutMenuIsAClick) {
  TTrayIcon icon(nullptr);
  std::vector<TMouseButton> clicks;
  icon.OnClick = TMouseEvent([&](TObject*, TMouseButton button, TShiftState, int, int) { clicks.push_back(button); });
  icon.MouseMessage(0x0204);
  icon.MouseMessage(0x0205);
  EXPECT_EQ(clicks, std::vector<TMouseButton>{TMouseButton::mbRight});
  TPopupMenu menu(nullptr);
  TUserHooksScope noMenu({.Popup = [](TPopupMenu&) -> TMenuItem* { return nullptr; }});
  int popups = 0;
  menu.OnPopup = TNotifyEvent([&](TObject*) { ++popups; });
  icon.PopupMenu = &menu;
  icon.MouseMessage(0x0204);
  icon.MouseMessage(0x0205);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_EQ(menu.PopupComponent, &icon);
}

TEST(TrayIcon_SetHint, ShowsTheIconWhenActive) {
  TTrayIcon icon(nullptr);
  EXPECT_FALSE(icon.Shown());
  icon.SetHint("Wallpaper: ");
  EXPECT_TRUE(icon.Shown());
  EXPECT_EQ(icon.Hint(), "Wallpaper: ");
}
