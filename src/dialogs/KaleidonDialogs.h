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
  // A new About box each time, and, after its "Update", a new update
  // dialog; several can be open, each run working on its own.
  void About(TForm1& controller) override;

private:
  TOptionsForm* FOptions = nullptr;
  TFormListWP* FList = nullptr;
};
