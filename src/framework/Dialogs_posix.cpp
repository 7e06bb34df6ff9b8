#include "framework/Dialogs.h"

// Without a window manager a dialog never has a window: only the modal hook
// can answer it, and without one nobody does (Cancel).

void* TDialogControl::Handle() const { return nullptr; }

int TDialog::PlatformShowModal() { return FModalResult = mrCancel; }

void TDialog::BringToFront() {}
void TDialog::SetControlBounds(int, int, int, int, int) {}
void TDialog::SetControlSize(int, int, int) {}
void TDialog::SetClientSize(int, int) {}
void TDialog::ShowControl(int, bool) {}
void TDialog::SetControlFont(int, const TFont&) {}
void TDialog::SetControlIcon(int, int) {}
bool TDialog::WindowMessage(void*, uint32_t, uintptr_t, intptr_t) { return false; }

bool BrowseForFolder(TDialog&, const std::string&, std::string&) { return false; }

namespace DialogWindows {
std::string Text(void*) { return {}; }
void SetText(void*, const std::string&) {}
bool Checked(void*) { return false; }
void SetChecked(void*, bool) {}
void FillComboBox(void*, const std::vector<std::string>&) {}
int ComboIndex(void*) { return -1; }
void SetComboIndex(void*, int) {}
void FillListBox(void*, const TStringList&) {}
int ListIndex(void*) { return -1; }
void SetListIndex(void*, int) {}
void DeleteListItem(void*, int) {}
THotkey HotkeyOf(void*) { return {}; }
void SetHotkeyOf(void*, const THotkey&) {}
void PrepareSpin(void*) {}
void SetProgress(void*, int, int, int) {}
}  // namespace DialogWindows
