#pragma once
// The dialogs the controller's commands open. Each settings dialog is open
// at most once: asking for it again brings the open one to the front, since
// a second one's OK would later write back values the first has changed.

#include "app/DialogCommands.h"

class TOptionsForm;
class TFormListWP;

class TKaleidonDialogs : public TDialogCommands {
public:
  void Configure(TForm1& controller) override;
  void WallpaperList(TForm1& controller) override;
  // The About box is not part of the program yet: the command opens nothing.
  void About(TForm1& controller) override;

private:
  TOptionsForm* FOptions = nullptr;
  TFormListWP* FList = nullptr;
};
