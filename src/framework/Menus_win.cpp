#include "framework/Menus.h"

#include <windows.h>

#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

using TMenuHandle = THandle<TNullHandleTraits<HMENU, &DestroyMenu>>;

// A caption is shown as it reads: an "&" in a file name is a character, not
// the mark of an accelerator.
std::wstring MenuText(const std::string& caption) {
  std::wstring text;
  for (wchar_t c : Utf8ToWide(caption)) {
    if (c == L'&') text += L'&';
    text += c;
  }
  return text;
}

UINT ItemFlags(const TMenuItem& item) {
  if (item.IsLine()) return MF_SEPARATOR;
  UINT flags = MF_STRING;
  if (!item.Enabled) flags |= MF_GRAYED;
  if (item.Break == TMenuBreak::mbBarBreak) flags |= MF_MENUBARBREAK;
  if (item.Break == TMenuBreak::mbBreak) flags |= MF_MENUBREAK;
  return flags;
}

}  // namespace

// Commands are item positions plus one (0 means nothing was chosen).
TMenuItem* TPopupMenu::Track(int x, int y, void* ownerWindow) {
  const TMenuHandle menu(CreatePopupMenu());
  if (!menu) return nullptr;
  for (size_t i = 0; i < FItems.size(); ++i) {
    const TMenuItem& item = *FItems[i];
    AppendMenuW(menu.Get(), ItemFlags(item), i + 1, MenuText(item.Caption).c_str());
    if (item.Default) SetMenuDefaultItem(menu.Get(), UINT(i), TRUE);
  }
  const auto owner = static_cast<HWND>(ownerWindow);
  const int chosen =
      TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr);
  return chosen > 0 && size_t(chosen) <= FItems.size() ? FItems[size_t(chosen) - 1].get() : nullptr;
}
