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

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Menus.h"
#include "framework/MessageWindow.h"
#include "framework/Timer.h"

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

struct TShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
  bool Double = false;  // the press of a double-click
};

// (sender, button, shift state, cursor x, cursor y) in screen coordinates.
using TMouseEvent = TEvent<TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TShiftState, int, int>;

// The message the shell sends the icon's window, the mouse message in its
// second parameter.
inline constexpr uint32_t TrayCallbackMessage = 0xB040;

class TTrayIcon : public TComponent {
public:
  explicit TTrayIcon(TComponent* AOwner);
  ~TTrayIcon() override;

  const std::string& Hint() const { return FHint; }
  // A changed text updates the shown tip at once; the same text does nothing.
  void SetHint(const std::string& hint);
  bool Active = true;
  TPopupMenu* PopupMenu = nullptr;

  TNotifyEvent OnDblClick;
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

private:
  void ShowIcon();
  void RetryTimer(TObject* sender);
  void DblClick();
  bool PopupAtCursor();
  void Mouse(const TMouseEvent& event, TMouseButton button, bool isDouble = false);
  bool Message(TMessage& message);

  // The platform's side: the shell's record, the cursor and the keys.
  enum class TShellAction { Add, Modify, Delete };
  bool NotifyShell(TShellAction action);
  void CursorPos(int& x, int& y) const;
  TShiftState KeyState() const;
  void ToForeground();
  static uint32_t TaskbarCreatedMessage();

  std::string FHint;
  bool FShown = false;
  bool FLeftDown = false;
  bool FRightDown = false;
  TTimer* FRetry;
  std::unique_ptr<TMessageWindow> FWindow;
  // The platform's own state (the icon's picture), made when first needed.
  struct TImpl;
  struct TImplDeleter {
    void operator()(TImpl* impl) const;
  };
  std::unique_ptr<TImpl, TImplDeleter> FImpl;
};
