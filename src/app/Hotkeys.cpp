#include "app/Hotkeys.h"

#include "app/Settings.h"

namespace {

struct THotkeySetting {
  THotkeyCommand Command;
  const TSetting<const char*>& Setting;
  const char* Name;  // as the options dialog labels it
};

const THotkeySetting HotkeySettings[] = {
    {THotkeyCommand::hcNext, HotkeyNextSetting, "Next wallpaper"},
    {THotkeyCommand::hcPrevious, HotkeyPreviousSetting, "Previous wallpaper"},
    {THotkeyCommand::hcPause, HotkeyPauseSetting, "Pause or resume"},
};

}  // namespace

THotkeys::THotkeys(TComponent* AOwner, TDesktop& desktop) : TComponent(AOwner), FDesktop(desktop) {
  FWindow = std::make_unique<TMessageWindow>(TMessageWindow::TKind::MessageOnly, "Hotkeys", [this](TMessage& m) {
    if (m.Msg != HotkeyMessage) return false;
    Pressed(int(m.WParam));
    return true;
  });
}

THotkeys::~THotkeys() { UnregisterAll(); }

void THotkeys::UnregisterAll() {
  for (const int id : FRegistered) FDesktop.UnregisterHotkey(FWindow->Handle(), id);
  FRegistered.clear();
}

// A command's identifier is its place in the table, plus one: 0 is no hotkey.
std::string THotkeys::Register(const TRegIniFile& settings) {
  UnregisterAll();
  std::string report;
  for (const THotkeySetting& entry : HotkeySettings) {
    const std::string text = ReadSetting(settings, entry.Setting);
    const int id = int(&entry - HotkeySettings) + 1;
    THotkey hotkey;
    std::string problem;
    if (!ParseHotkey(text, hotkey))
      problem = "is no key combination";
    else if (hotkey.Empty())
      continue;
    else if (FDesktop.RegisterHotkey(FWindow->Handle(), id, hotkey))
      FRegistered.insert(id);
    else
      problem = "is held by another program";
    const std::string line = text + " (" + entry.Name + ") " + problem;
    if (!problem.empty() && FReported.insert(line).second) report += "\n" + line;
  }
  return report.empty() ? report : "Kaleidon cannot use these hotkeys:" + report;
}

void THotkeys::Pressed(int id) {
  if (id >= 1 && id <= int(std::size(HotkeySettings))) OnHotkey(this, HotkeySettings[id - 1].Command);
}
