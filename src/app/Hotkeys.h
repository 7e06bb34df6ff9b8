#pragma once
// The global hotkeys: next wallpaper, previous wallpaper, pause or resume,
// each the key combination of its setting (empty is none), pressed anywhere.
// They are registered with the desktop for a hidden window of their own.
// What cannot be registered (a combination another program holds, a setting
// that is no combination) is reported once per run; the others work.

#include <memory>
#include <set>
#include <string>

#include "app/Desktop.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/MessageWindow.h"
#include "framework/RegIniFile.h"

enum class THotkeyCommand { hcNext, hcPrevious, hcPause };

using THotkeyEvent = TEvent<THotkeyCommand>;

class THotkeys : public TComponent {
public:
  THotkeys(TComponent* AOwner, TDesktop& desktop);
  ~THotkeys() override;

  // Registers every command's combination from the settings in place of
  // those registered before. Returns the report of the problems not
  // reported before, one line each; empty when there are none.
  std::string Register(const TRegIniFile& settings);
  // The hotkey of the identifier was pressed.
  void Pressed(int id);
  THotkeyEvent OnHotkey;

private:
  void UnregisterAll();

  TDesktop& FDesktop;
  std::unique_ptr<TMessageWindow> FWindow;
  std::set<int> FRegistered;
  std::set<std::string> FReported;
};
