#pragma once
// The controller's commands that open dialogs. The dialogs live in a layer
// above the controller, which reaches them only through this interface,
// handed to it at construction.

class TForm1;

class TDialogCommands {
public:
  virtual ~TDialogCommands() = default;
  // The options dialog and its transfer (fill, show, write back on OK).
  virtual void Configure(TForm1& controller) = 0;
  // The wallpaper list dialog: rebuild the catalogue, show it, apply the choice.
  virtual void WallpaperList(TForm1& controller) = 0;
  // The About box.
  virtual void About(TForm1& controller) = 0;
};

// Commands that open nothing, for a controller without dialogs.
TDialogCommands& NoDialogs();
