#pragma once
// The icon in the notification area: its hint as the tip, a double-click
// that clicks the menu's enabled default item, and a right-click that pops
// up the menu. It lives on a hidden top-level window of its own, which the
// shell's notifications reach, as does the shell's word that the taskbar was
// made anew (the icon is then added again). An add that fails (the shell not
// running yet) is retried every few seconds until it succeeds.

#include <cstdint>
#include <memory>
#include <string>

#include "app/Desktop.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Menus.h"
#include "framework/MessageWindow.h"
#include "framework/Timer.h"

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// (sender, button, shift state, cursor x, cursor y) in screen coordinates.
using TMouseEvent = TEvent<TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TShiftState, int, int>;

class TTrayIcon : public TComponent {
public:
  // The desktop's notification area, cursor and keys serve the icon.
  explicit TTrayIcon(TComponent* AOwner, TDesktop& desktop = PlatformDesktop());
  ~TTrayIcon() override;

  const std::string& Hint() const { return FHint; }
  // A changed text updates the shown tip at once; the same text does nothing.
  void SetHint(const std::string& hint);
  bool Active = true;
  TPopupMenu* PopupMenu = nullptr;

  TNotifyEvent OnDblClick;
  // The taskbar was made anew (after the shell restarted); the icon is back.
  TNotifyEvent OnTaskbarCreated;
  TMouseEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // The component has been loaded with its form: shows the icon when Active.
  void Loaded();
  bool Shown() const { return FShown; }
  // One notification of the shell: the mouse message it reports.
  void MouseMessage(uint32_t mouseMessage);

  // The tip: the hint up to its first "|", at most 63 characters.
  static std::string Tip(const std::string& hint);
  // head + middle + tail, the middle cut short with "..." where the whole
  // would not fit the tip, so that the tail shows.
  static std::string FitTip(const std::string& head, const std::string& middle, const std::string& tail);

private:
  void ShowIcon();
  void RetryTimer(TObject* sender);
  void DblClick();
  bool PopupAtCursor();
  void Mouse(const TMouseEvent& event, TMouseButton button, bool isDouble = false);
  bool Message(TMessage& message);

  bool NotifyShell(TShellAction action);

  TDesktop& FDesktop;
  std::string FHint;
  bool FShown = false;
  bool FLeftDown = false;
  bool FRightDown = false;
  TTimer* FRetry;
  std::unique_ptr<TMessageWindow> FWindow;
};
