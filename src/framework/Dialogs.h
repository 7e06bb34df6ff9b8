#pragma once
// Modal dialogs made from the program's dialog templates, with their controls
// bound by identifier. A control keeps its value while the dialog has no
// window, so a dialog is filled before it is shown and read after it has
// closed; while the window exists, values go to it and come from it.
//
// ShowModal runs a modal loop of its own. It ends when the modal result is
// set (a button with a ModalResult, Enter and Esc for the buttons with the
// identifiers 1 and 2, the close box as Cancel), or, as Cancel, when the
// program is asked to quit: the quit request is passed on to the loop
// outside, so that every open dialog closes and the program ends. An error
// raised by a handler goes to the application's top-level handler and the
// dialog stays open.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Keys.h"
#include "framework/StringList.h"

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// Window and control styles for dialogs laid out in code, with the
// platform's values so that they pass through.
inline constexpr uint32_t wsTabStop = 0x00010000;
inline constexpr uint32_t wsHScroll = 0x00100000;
inline constexpr uint32_t wsVScroll = 0x00200000;
inline constexpr uint32_t wsBorder = 0x00800000;
inline constexpr uint32_t ssCenter = 0x1;
inline constexpr uint32_t ssNoPrefix = 0x80;
inline constexpr uint32_t bsPushButton = 0x0;
inline constexpr uint32_t bsDefPushButton = 0x1;
inline constexpr uint32_t esMultiLine = 0x4;
inline constexpr uint32_t esAutoVScroll = 0x40;
inline constexpr uint32_t esAutoHScroll = 0x80;
inline constexpr uint32_t esReadOnly = 0x800;

// Identifiers of the buttons that Enter and Esc press.
inline constexpr int idOkButton = 1;
inline constexpr int idCancelButton = 2;

// Control notifications, with the platform's values so that they pass through.
inline constexpr int bnClicked = 0;
inline constexpr int lbnSelChange = 1;
inline constexpr int lbnDblClk = 2;
inline constexpr int enKillFocus = 0x0200;

class TDialog;

// A font by face name and character height, in pixels of a 96-dpi screen.
// The default is the system's face for dialogs.
struct TFont {
  std::string Name = "MS Shell Dlg";
  int Height = 11;
  bool operator==(const TFont&) const = default;
};

// One control of a dialog's template, known by its identifier.
class TDialogControl : public TObject {
public:
  TDialogControl(TDialog& dialog, int id);
  int Id() const { return FId; }
  // The control's window, or null while the dialog has none.
  void* Handle() const;

  // The dialog's window has been made: show the kept value.
  virtual void Attach() {}
  // The window goes: keep what it shows.
  virtual void Detach() {}
  // A notification from the control (bnClicked, lbnSelChange, ...).
  virtual void Notify(int) {}
  // A step of the control's spin buttons or Up and Down keys.
  virtual void Step(int) {}
  // Whether a typed character is taken; a refused one beeps.
  virtual bool KeyAllowed(uint32_t) const { return true; }

protected:
  TDialog& FDialog;

private:
  int FId;
};

class TButton : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  // Set on the dialog when the button is clicked, after OnClick.
  int ModalResult = mrNone;
  TNotifyEvent OnClick;
  void Click();
  void Notify(int code) override;
};

// A text field, or any control whose text is read or set. Until a text is
// set, the window keeps the text of its template.
class TEdit : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  std::string Text() const;
  void SetText(const std::string& text);
  void Attach() override;
  void Detach() override;

private:
  std::string FText;
  bool FTextSet = false;
};

// A label is a control whose text is set and read like a field's.
using TLabel = TEdit;

// A progress bar over Min to Max, showing Position.
class TProgressBar : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  int Min = 0;
  int Max = 100;
  int Position() const { return FPosition; }
  void SetPosition(int position);
  void Attach() override;

private:
  int FPosition = 0;
};

class TCheckBox : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  bool Checked() const;
  void SetChecked(bool checked);
  void Attach() override;
  void Detach() override;

private:
  bool FChecked = false;
};

// A drop-down list that takes no typed entry; ItemIndex is -1 when nothing is chosen.
class TComboBox : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  std::vector<std::string> Items;
  int ItemIndex() const;
  void SetItemIndex(int index);
  void Attach() override;
  void Detach() override;

private:
  int FItemIndex = -1;
};

// A single-selection list shown in the order of its items.
class TListBox : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  TStringList Items;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Removes the item, from the window too; the item that takes its place
  // (or, at the end, the one before) is selected.
  void Delete(int index);
  // The selection changed, by mouse or keyboard.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  void Attach() override;
  void Detach() override;
  void Notify(int code) override;

private:
  int FItemIndex = -1;
};

// A hotkey field: the user presses the combination, Backspace clears it.
// It knows no Win modifier: a combination with one shows, and reads back,
// without it.
class THotkeyEdit : public TDialogControl {
public:
  using TDialogControl::TDialogControl;
  THotkey Hotkey() const;
  void SetHotkey(const THotkey& hotkey);
  void Attach() override;
  void Detach() override;

private:
  THotkey FHotkey;
};

// A text field holding a whole number, with spin buttons beside it (the
// control whose identifier follows the field's) and the Up and Down keys.
//  skBounded: MinValue to MaxValue; a value set or stepped is clamped, and so
//    is a typed number when the focus leaves; text that is no number reads
//    as 0 and is replaced by "0".
//  skFree: no bounds; only digits, signs and control keys can be typed; text
//    that is no number reads as 0 and stays; a fraction is cut off; numbers
//    saturate at the limits of 32 bits.
enum class TSpinKind { skBounded, skFree };

class TSpinEdit : public TEdit {
public:
  TSpinEdit(TDialog& dialog, int id, TSpinKind kind, int32_t minValue = 0, int32_t maxValue = 0);
  int32_t Value();
  void SetValue(int32_t value);
  // The focus leaves the field.
  void CheckValue();
  void Attach() override;
  void Notify(int code) override;
  void Step(int delta) override;
  bool KeyAllowed(uint32_t c) const override;

private:
  int32_t Clamp(int64_t value) const;
  TSpinKind FKind;
  int32_t FMinValue;
  int32_t FMaxValue;
};

// The number a spin field's text holds: an optional sign and digits (for
// skFree also a fraction, cut off), saturating at the limits of 32 bits;
// false for anything else.
bool SpinTextValue(const std::string& text, bool fraction, int32_t& value);

// A dialog laid out in code, for windows the program builds itself (a
// please-wait note, a progress window, a read-me viewer). Positions and sizes
// are in dialog units of the dialog's font, or, with InPixels, in pixels of a
// 96-dpi screen (scaled to the window's resolution), Width and Height then
// being the client area's; styles are the platform's window styles, added to
// a dialog's own (a popup with a caption and a fixed frame, centred) and to a
// visible child's.
struct TDialogItemTemplate {
  std::string ClassName;  // "Button", "Static", "Edit", "msctls_progress32", ...
  std::string Text;
  int Id = -1;
  int X = 0, Y = 0, Width = 0, Height = 0;
  uint32_t Style = 0;
};

struct TDialogTemplate {
  std::string Caption;
  int Width = 0, Height = 0;
  uint32_t Style = 0;  // e.g. the system menu, for a close box
  TFont Font;
  bool InPixels = false;
  // The hourglass over the whole window while it is up, for one that waits.
  bool WaitCursor = false;
  std::vector<TDialogItemTemplate> Items;
};

class TDialog : public TComponent {
public:
  // templateId names a dialog template of the executable's resources.
  TDialog(TComponent* AOwner, int templateId);
  // A dialog laid out in code.
  TDialog(TComponent* AOwner, TDialogTemplate layout);
  ~TDialog() override;

  // Shows the dialog and returns its modal result once it has closed.
  int ShowModal();
  int ModalResult() const { return FModalResult; }
  // Setting a result other than mrNone ends a modal dialog.
  void SetModalResult(int result) { FModalResult = result; }
  // Runs once the window is made and its controls show their values, and
  // again when the window moves to a screen of another resolution, so that
  // what it lays out in pixels follows.
  TNotifyEvent OnShow;
  // Whether Esc ends the dialog as Cancel when no control answers to the
  // Cancel identifier; the close box does either way.
  bool EscapeCancels = true;

  // The dialog's window, or null while it is closed.
  void* Handle() const { return FWindow; }
  bool Showing() const { return Handle() != nullptr; }
  // Brings the open dialog to the front.
  void BringToFront();
  // Places a control, or sizes the client area, in pixels of a 96-dpi
  // screen, scaled to the window's resolution.
  void SetControlBounds(int id, int x, int y, int width, int height);
  // Sizes a control, in the same pixels, where it stands.
  void SetControlSize(int id, int width, int height);
  void SetClientSize(int width, int height);
  // Shows or hides a control while the window exists.
  void ShowControl(int id, bool visible);
  // Gives a control a font of its own while the window exists.
  void SetControlFont(int id, const TFont& font);
  // Shows in an icon control the icon resource at the size the system gives
  // icons at the window's resolution.
  void SetControlIcon(int id, int iconId);

  TDialogControl* Control(int id) const;
  // For the platform half: a message to the dialog's window; true when handled.
  bool WindowMessage(void* window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

protected:
  template <class Control, class... Args>
  Control* Add(int id, Args&&... args) {
    auto control = std::make_unique<Control>(*this, id, std::forward<Args>(args)...);
    Control* result = control.get();
    FControls.push_back(std::move(control));
    return result;
  }

private:
  int PlatformShowModal();
  void LayOutInPixels();
  // Pixels of a 96-dpi screen at the window's resolution.
  int Scaled(int pixels) const;

  int FTemplateId;
  TDialogTemplate FLayout;  // used when there is no template identifier
  int FModalResult = mrNone;
  std::vector<std::unique_ptr<TDialogControl>> FControls;
  void* FWindow = nullptr;
  int FDpi = 96;  // the window's resolution
  // The fonts and icons given to controls, freed once the window has gone.
  std::vector<std::shared_ptr<void>> FFonts;
};

// The window of a dialog or form, the owner a window made for a component
// takes; null for anything else and while there is none.
void* WindowOf(const TComponent* component);

// The system's folder chooser, offering file-system folders only; false when
// the user cancels or the choice has no path.
bool BrowseForFolder(TDialog& owner, const std::string& title, std::string& path);

// What the platform half does for the controls while a window exists.
namespace DialogWindows {
std::string Text(void* control);
void SetText(void* control, const std::string& text);
bool Checked(void* control);
void SetChecked(void* control, bool checked);
void FillComboBox(void* control, const std::vector<std::string>& items);
int ComboIndex(void* control);
void SetComboIndex(void* control, int index);
void FillListBox(void* control, const TStringList& items);
int ListIndex(void* control);
void SetListIndex(void* control, int index);
void DeleteListItem(void* control, int index);
THotkey HotkeyOf(void* control);
void SetHotkeyOf(void* control, const THotkey& hotkey);
void PrepareSpin(void* control);
void SetProgress(void* control, int min, int max, int position);
}  // namespace DialogWindows
