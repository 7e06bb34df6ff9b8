#include "app/Trayicon.h"

#include "framework/Application.h"

namespace {

constexpr uint32_t WM_MOUSEMOVE_ = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN_ = 0x0201;
constexpr uint32_t WM_LBUTTONUP_ = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK_ = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN_ = 0x0204;
constexpr uint32_t WM_RBUTTONUP_ = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK_ = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN_ = 0x0207;
constexpr uint32_t WM_MBUTTONUP_ = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK_ = 0x0209;

constexpr uint32_t RetryMilliseconds = 3000;
constexpr size_t TipCharacters = 63;

size_t Characters(const std::string& text) {
  size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return characters;
}

// A UTF-8 text is cut between characters, never inside one.
std::string FirstCharacters(const std::string& text, size_t characters) {
  size_t end = 0;
  for (size_t n = 0; end < text.size() && n < characters; ++n) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

}  // namespace

TTrayIcon::TTrayIcon(TComponent* AOwner, TDesktop& desktop)
    : TComponent(AOwner), FDesktop(desktop), FRetry(new TTimer(this)) {
  FRetry->SetEnabled(false);
  FRetry->SetInterval(RetryMilliseconds);
  FRetry->OnTimer = TNotifyEvent(this, &TTrayIcon::RetryTimer);
  FWindow = std::make_unique<TMessageWindow>(TMessageWindow::TKind::TopLevel, "TrayIcon",
                                             [this](TMessage& m) { return Message(m); });
}

TTrayIcon::~TTrayIcon() {
  if (FShown) NotifyShell(TShellAction::Delete);
}

std::string TTrayIcon::Tip(const std::string& hint) {
  return FirstCharacters(hint.substr(0, hint.find('|')), TipCharacters);
}

std::string TTrayIcon::FitTip(const std::string& head, const std::string& middle, const std::string& tail) {
  std::string whole = head + middle + tail;
  const size_t fixed = Characters(head + "..." + tail);
  if (Characters(whole) <= TipCharacters || fixed >= TipCharacters) return whole;
  return head + FirstCharacters(middle, TipCharacters - fixed) + "..." + tail;
}

void TTrayIcon::SetHint(const std::string& hint) {
  if (hint == FHint) return;
  FHint = hint;
  if (FShown)
    NotifyShell(TShellAction::Modify);
  else if (Active)
    ShowIcon();
}

void TTrayIcon::Loaded() {
  if (Active) ShowIcon();
}

// An empty tip is sent once more as a modify, after the add.
void TTrayIcon::ShowIcon() {
  if (FShown) NotifyShell(TShellAction::Delete);
  FShown = NotifyShell(TShellAction::Add);
  if (FShown && Tip(FHint).empty()) NotifyShell(TShellAction::Modify);
  FRetry->SetEnabled(!FShown);
}

void TTrayIcon::RetryTimer(TObject*) {
  if (Active && !FShown) ShowIcon();
  if (FShown) FRetry->SetEnabled(false);
}

bool TTrayIcon::NotifyShell(TShellAction action) { return FDesktop.NotifyShell(action, FWindow->Handle(), Tip(FHint)); }

bool TTrayIcon::Message(TMessage& message) {
  if (message.Msg == TrayCallbackMessage) {
    MouseMessage(uint32_t(message.LParam));
    return true;
  }
  if (message.Msg == FDesktop.TaskbarCreatedMessage()) {
    FShown = false;  // the new taskbar has no icons
    if (Active) ShowIcon();
    OnTaskbarCreated(this);
    return true;
  }
  return false;
}

void TTrayIcon::Mouse(const TMouseEvent& event, TMouseButton button, bool isDouble) {
  TShiftState shift = FDesktop.KeyState();
  shift.Double = isDouble;
  int x = 0, y = 0;
  FDesktop.CursorPos(x, y);
  event(this, button, shift, x, y);
}

void TTrayIcon::MouseMessage(uint32_t mouseMessage) {
  switch (mouseMessage) {
    case WM_MOUSEMOVE_: {
      int x = 0, y = 0;
      FDesktop.CursorPos(x, y);
      OnMouseMove(this, FDesktop.KeyState(), x, y);
      break;
    }
    case WM_LBUTTONDOWN_:
      Mouse(OnMouseDown, TMouseButton::mbLeft);
      FLeftDown = true;
      break;
    case WM_LBUTTONUP_:
      if (FLeftDown) {
        FLeftDown = false;
        Mouse(OnClick, TMouseButton::mbLeft);
      }
      Mouse(OnMouseUp, TMouseButton::mbLeft);
      break;
    case WM_LBUTTONDBLCLK_:
      DblClick();
      Mouse(OnMouseDown, TMouseButton::mbLeft, true);
      break;
    case WM_RBUTTONDOWN_:
      Mouse(OnMouseDown, TMouseButton::mbRight);
      FRightDown = true;
      break;
    case WM_RBUTTONUP_:
      if (FRightDown) {
        FRightDown = false;
        if (!PopupAtCursor()) Mouse(OnClick, TMouseButton::mbRight);
      }
      Mouse(OnMouseUp, TMouseButton::mbRight);
      break;
    case WM_RBUTTONDBLCLK_: Mouse(OnMouseDown, TMouseButton::mbRight, true); break;
    case WM_MBUTTONDOWN_: Mouse(OnMouseDown, TMouseButton::mbMiddle); break;
    case WM_MBUTTONUP_: Mouse(OnMouseUp, TMouseButton::mbMiddle); break;
    case WM_MBUTTONDBLCLK_: Mouse(OnMouseDown, TMouseButton::mbMiddle, true); break;
  }
}

void TTrayIcon::DblClick() {
  if (PopupMenu)
    for (int i = 0; i < PopupMenu->Count(); ++i) {
      TMenuItem* item = PopupMenu->Items(i);
      if (item->Default && item->Enabled) {
        item->Click();
        return;
      }
    }
  OnDblClick(this);
}

// The window goes to the foreground first so that the menu closes when the
// user clicks elsewhere, and again afterwards.
bool TTrayIcon::PopupAtCursor() {
  if (!Active || !PopupMenu) return false;
  PopupMenu->PopupComponent = this;
  FDesktop.ToForeground(FWindow->Handle());
  if (Application) Application->ProcessMessages();
  int x = 0, y = 0;
  FDesktop.CursorPos(x, y);
  PopupMenu->Popup(x, y, FWindow->Handle());
  FDesktop.ToForeground(FWindow->Handle());
  return true;
}
