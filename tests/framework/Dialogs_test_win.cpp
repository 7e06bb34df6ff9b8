// The dialog wrapper's real modal loop, on a dialog laid out in code.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "SettingsSandbox.h"
#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "framework/Timer.h"

namespace {

TDialogTemplate PleaseWait(uint32_t style = 0) {
  TDialogTemplate layout;
  layout.Caption = "Please wait";
  layout.Width = 160;
  layout.Height = 60;
  layout.Style = style;
  layout.Items = {{"Static", "Checking for an update", 100, 8, 8, 144, 10, SS_LEFT},
                  {"Button", "OK", idOkButton, 20, 36, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
                  {"Button", "Cancel", idCancelButton, 90, 36, 50, 14, BS_PUSHBUTTON | WS_TABSTOP}};
  return layout;
}

class TWaitDialog : public TDialog {
public:
  explicit TWaitDialog(uint32_t style = 0) : TDialog(nullptr, PleaseWait(style)) {
    Note = Add<TEdit>(100);
    Ok = Add<TButton>(idOkButton);
    Ok->ModalResult = mrOk;
    Cancel = Add<TButton>(idCancelButton);
    Cancel->ModalResult = mrCancel;
  }
  TEdit* Note;
  TButton* Ok;
  TButton* Cancel;
};

// Runs the action once the dialog's loop runs, from a timer's tick.
class TWhileShown {
public:
  explicit TWhileShown(std::function<void()> action) {
    FTimer.SetInterval(50);
    FTimer.OnTimer = TNotifyEvent([this, action](TObject*) {
      FTimer.SetEnabled(false);
      action();
    });
  }

private:
  TTimer FTimer{nullptr};
};

}  // namespace

TEST(Dialog_ShowModal, CodeBuiltDialogEndsWithItsButton) {
  TWaitDialog dialog;
  std::string shown;
  const TWhileShown click([&] {
    shown = dialog.Note->Text();
    PostMessageW(static_cast<HWND>(dialog.Ok->Handle()), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(shown, "Checking for an update");
  EXPECT_FALSE(dialog.Showing());
}

TEST(Dialog_ShowModal, QuitRequestEndsItAsCancelAndIsPassedOn) {
  TWaitDialog dialog;
  const TWhileShown quit([] { PostQuitMessage(3); });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(Dialog_ShowModal, CloseBoxEndsItWithResultTwo) {
  TWaitDialog dialog(WS_SYSMENU);
  const TWhileShown close([&] { PostMessageW(static_cast<HWND>(dialog.Handle()), WM_CLOSE, 0, 0); });
  EXPECT_EQ(dialog.ShowModal(), 2);
}

TEST(Dialog_ShowModal, WaitingDialogShowsTheHourglassOverItsControls) {
  for (const bool waits : {false, true}) {
    TDialogTemplate layout = PleaseWait();
    layout.WaitCursor = waits;
    TDialog dialog(nullptr, layout);
    HCURSOR shown = nullptr;
    const TWhileShown look([&] {
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      const HWND note = GetDlgItem(static_cast<HWND>(dialog.Handle()), 100);
      SendMessageW(note, WM_SETCURSOR, WPARAM(note), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      shown = GetCursor();
      dialog.SetModalResult(mrOk);
    });
    dialog.ShowModal();
    EXPECT_EQ(shown, LoadCursorW(nullptr, waits ? IDC_WAIT : IDC_ARROW));
  }
}

TEST(Dialog_ShowModal, ErrorOfAHandlerIsShownAndTheDialogStaysOpen) {
  TSettingsSandbox sandbox;
  TWaitDialog dialog;
  dialog.Ok->ModalResult = mrNone;
  dialog.Ok->OnClick = TNotifyEvent([](TObject*) { throw Exception("the server did not answer"); });
  bool stillOpen = false;
  const TWhileShown click([&] {
    SendMessageW(static_cast<HWND>(dialog.Ok->Handle()), BM_CLICK, 0, 0);
    stillOpen = dialog.Showing();
    PostMessageW(static_cast<HWND>(dialog.Cancel->Handle()), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(sandbox.Messages.size(), 1u);
  EXPECT_EQ(sandbox.Messages[0].Text, "the server did not answer");
}

// The system's hotkey field: Right shows as the arrow key (not the number
// pad's 6), what the user presses reads back, Backspace clears it.
TEST(HotkeyEdit_Hotkey, ShowsTheKeyReadsWhatIsPressedAndBackspaceClears) {
  TDialogTemplate layout = PleaseWait();
  layout.Items.push_back({"msctls_hotkey32", "", 101, 8, 20, 100, 12, WS_BORDER | WS_TABSTOP});
  struct THotkeyDialog : TDialog {
    explicit THotkeyDialog(TDialogTemplate layout) : TDialog(nullptr, std::move(layout)) {
      Field = Add<THotkeyEdit>(101);
      Add<TButton>(idOkButton)->ModalResult = mrOk;
    }
    THotkeyEdit* Field;
  } hotkeys(layout);
  hotkeys.Field->SetHotkey({hkCtrl | hkAlt | hkWin, 0x27});
  LRESULT shown = 0;
  THotkey pressed;
  const TWhileShown use([&] {
    const HWND field = static_cast<HWND>(hotkeys.Field->Handle());
    shown = SendMessageW(field, HKM_GETHOTKEY, 0, 0);
    SendMessageW(field, HKM_SETHOTKEY, MAKEWORD('P', HOTKEYF_SHIFT), 0);
    pressed = hotkeys.Field->Hotkey();
    SendMessageW(field, WM_KEYDOWN, VK_BACK, 0);
    SendMessageW(field, WM_KEYUP, VK_BACK, 0);
    PostMessageW(static_cast<HWND>(hotkeys.Handle()), WM_COMMAND, idOkButton, 0);
  });
  EXPECT_EQ(hotkeys.ShowModal(), mrOk);
  EXPECT_EQ(shown, MAKEWORD(VK_RIGHT, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT));
  EXPECT_EQ(pressed, (THotkey{hkShift, 'P'}));
  EXPECT_TRUE(hotkeys.Field->Hotkey().Empty());
}
