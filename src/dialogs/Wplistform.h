#pragma once
// The wallpaper list dialog: every catalogue entry, a preview of the
// selected one, and OK to make it the wallpaper.

#include "framework/Dialogs.h"
#include "framework/Timer.h"
#include "imaging/Imageholder.h"

class TForm1;

class TFormListWP : public TDialog {
public:
  explicit TFormListWP(TComponent* AOwner);

  TListBox* WPListBox;
  TImageHolder* ImageHolder1;
  TButton* BitBtn1;
  TButton* BitBtn2;
  // Which monitor OK gives the picture: one of them, or "All" (the last
  // item); shown only while ShowMonitors.
  TComboBox* MonitorBox;
  bool ShowMonitors = false;

  // Previews the selected entry.
  void WPListBoxClick(TObject* sender);
  // Ends the dialog with OK: the double-clicked entry becomes the wallpaper.
  void WPListBoxDblClick(TObject* sender);
  // OK, once an entry is selected.
  void BitBtn1Click(TObject* sender);
  // The preview that a selection change asks for; it comes once the changes
  // waiting in the queue are done (see WPListBoxChange).
  TTimer* PreviewTimer;

private:
  void WPListBoxChange(TObject* sender);
  void PreviewTimerTimer(TObject* sender);
  void FormShow(TObject* sender);
};

// The wallpaper-list command's transfer: rebuild the catalogue, list it,
// show the dialog and on OK apply the selected entry. The form is the
// caller's, made for this run.
void ListWallpapers(TForm1& controller, TFormListWP& form);
