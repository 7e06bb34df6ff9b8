#include "framework/Dialogs.h"

#include <algorithm>
#include <limits>

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/UserHooks.h"

namespace {

int32_t Saturate(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

TDialogControl::TDialogControl(TDialog& dialog, int id) : FDialog(dialog), FId(id) {}

void TButton::Click() {
  OnClick(this);
  if (ModalResult != mrNone) FDialog.SetModalResult(ModalResult);
}

void TButton::Notify(int code) {
  if (code == bnClicked) Click();
}

std::string TEdit::Text() const { return Handle() ? DialogWindows::Text(Handle()) : FText; }

void TEdit::SetText(const std::string& text) {
  FText = text;
  FTextSet = true;
  if (Handle()) DialogWindows::SetText(Handle(), text);
}

void TEdit::Attach() {
  if (FTextSet) DialogWindows::SetText(Handle(), FText);
}

void TEdit::Detach() {
  FText = DialogWindows::Text(Handle());
  FTextSet = true;
}

bool TCheckBox::Checked() const { return Handle() ? DialogWindows::Checked(Handle()) : FChecked; }

void TCheckBox::SetChecked(bool checked) {
  FChecked = checked;
  if (Handle()) DialogWindows::SetChecked(Handle(), checked);
}

void TCheckBox::Attach() { DialogWindows::SetChecked(Handle(), FChecked); }

void TCheckBox::Detach() { FChecked = DialogWindows::Checked(Handle()); }

int TComboBox::ItemIndex() const { return Handle() ? DialogWindows::ComboIndex(Handle()) : FItemIndex; }

// An index the list does not have chooses nothing.
void TComboBox::SetItemIndex(int index) {
  FItemIndex = index >= 0 && size_t(index) < Items.size() ? index : -1;
  if (Handle()) DialogWindows::SetComboIndex(Handle(), FItemIndex);
}

void TComboBox::Attach() {
  DialogWindows::FillComboBox(Handle(), Items);
  DialogWindows::SetComboIndex(Handle(), FItemIndex);
}

void TComboBox::Detach() { FItemIndex = DialogWindows::ComboIndex(Handle()); }

int TListBox::ItemIndex() const { return Handle() ? DialogWindows::ListIndex(Handle()) : FItemIndex; }

void TListBox::SetItemIndex(int index) {
  FItemIndex = index >= 0 && index < Items.Count() ? index : -1;
  if (Handle()) DialogWindows::SetListIndex(Handle(), FItemIndex);
}

void TListBox::Delete(int index) {
  if (index < 0 || index >= Items.Count()) return;
  Items.Delete(index);
  if (Handle()) DialogWindows::DeleteListItem(Handle(), index);
  SetItemIndex(index < Items.Count() ? index : Items.Count() - 1);
}

void TListBox::Attach() {
  DialogWindows::FillListBox(Handle(), Items);
  DialogWindows::SetListIndex(Handle(), FItemIndex);
}

void TListBox::Detach() { FItemIndex = DialogWindows::ListIndex(Handle()); }

void TListBox::Notify(int code) {
  if (code == lbnSelChange) OnClick(this);
  if (code == lbnDblClk) OnDblClick(this);
}

THotkey THotkeyEdit::Hotkey() const { return Handle() ? DialogWindows::HotkeyOf(Handle()) : FHotkey; }

// The field has no Win modifier to show.
void THotkeyEdit::SetHotkey(const THotkey& hotkey) {
  FHotkey = {hotkey.Modifiers & ~hkWin, hotkey.Key};
  if (Handle()) DialogWindows::SetHotkeyOf(Handle(), FHotkey);
}

void THotkeyEdit::Attach() { DialogWindows::SetHotkeyOf(Handle(), FHotkey); }

void THotkeyEdit::Detach() { FHotkey = DialogWindows::HotkeyOf(Handle()); }

void TProgressBar::SetPosition(int position) {
  FPosition = position;
  if (Handle()) DialogWindows::SetProgress(Handle(), Min, Max, FPosition);
}

void TProgressBar::Attach() { DialogWindows::SetProgress(Handle(), Min, Max, FPosition); }

bool SpinTextValue(const std::string& text, bool fraction, int32_t& value) {
  size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t digitsStart = i;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - '0'), int64_t{1} << 32);
  if (i == digitsStart) return false;
  if (fraction && i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  }
  if (i != text.size()) return false;
  value = Saturate(negative ? -magnitude : magnitude);
  return true;
}

TSpinEdit::TSpinEdit(TDialog& dialog, int id, TSpinKind kind, int32_t minValue, int32_t maxValue)
    : TEdit(dialog, id), FKind(kind), FMinValue(minValue), FMaxValue(maxValue) {
  SetText("0");
}

int32_t TSpinEdit::Clamp(int64_t value) const {
  if (FKind == TSpinKind::skFree) return Saturate(value);
  return int32_t(std::clamp<int64_t>(value, FMinValue, FMaxValue));
}

int32_t TSpinEdit::Value() {
  int32_t value = 0;
  if (SpinTextValue(Text(), FKind == TSpinKind::skFree, value)) return value;
  if (FKind == TSpinKind::skBounded) SetText("0");
  return 0;
}

void TSpinEdit::SetValue(int32_t value) { SetText(IntToStr(Clamp(value))); }

void TSpinEdit::CheckValue() {
  int32_t value = 0;
  if (FKind == TSpinKind::skBounded && SpinTextValue(Text(), false, value) && Clamp(value) != value) SetValue(value);
}

void TSpinEdit::Attach() {
  TEdit::Attach();
  DialogWindows::PrepareSpin(Handle());
}

void TSpinEdit::Notify(int code) {
  if (code == enKillFocus) CheckValue();
}

void TSpinEdit::Step(int delta) { SetValue(Clamp(int64_t(Value()) + delta)); }

// Control characters (Backspace, the clipboard's Ctrl keys) are always taken.
bool TSpinEdit::KeyAllowed(uint32_t c) const {
  if (FKind == TSpinKind::skBounded || c < 0x20) return true;
  return (c >= '0' && c <= '9') || c == '+' || c == '-';
}

TDialog::TDialog(TComponent* AOwner, int templateId) : TComponent(AOwner), FTemplateId(templateId) {}

TDialog::TDialog(TComponent* AOwner, TDialogTemplate layout)
    : TComponent(AOwner), FTemplateId(0), FLayout(std::move(layout)) {}

TDialog::~TDialog() = default;

TDialogControl* TDialog::Control(int id) const {
  for (const auto& control : FControls)
    if (control->Id() == id) return control.get();
  return nullptr;
}

// Rounded to the nearest pixel, halves away from zero.
int TDialog::Scaled(int pixels) const {
  const int64_t product = int64_t(pixels) * FDpi;
  return int((product + (product < 0 ? -48 : 48)) / 96);
}

int TDialog::ShowModal() {
  FModalResult = mrNone;
  const auto hook = UserHooks().Modal;
  if (!hook) return PlatformShowModal();
  OnShow(this);
  FModalResult = hook(*this);
  return FModalResult;
}

void* WindowOf(const TComponent* component) {
  if (const auto* dialog = dynamic_cast<const TDialog*>(component)) return dialog->Handle();
  if (const auto* form = dynamic_cast<const TForm*>(component)) return form->Handle();
  return nullptr;
}
