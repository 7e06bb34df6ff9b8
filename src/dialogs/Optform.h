#pragma once
// The options dialog: base directory, start-up change, random choice, the
// catalogue in the menu, the interval, the picture kinds, what several
// monitors show, the excluded pictures, the start with Windows and the
// hotkeys.

#include <string>

#include "framework/Dialogs.h"

class TForm1;

class TOptionsForm : public TDialog {
public:
  explicit TOptionsForm(TComponent* AOwner);

  TButton* BitBtn1;
  TButton* BitBtn2;
  TEdit* PaperLocation;
  TButton* Button1;
  TCheckBox* ChangeOnStart;
  TCheckBox* RandomWP;
  TCheckBox* WPInMenu;
  TSpinEdit* ChangeTime;
  TCheckBox* JPEGCheckBox;
  TCheckBox* GIFCheckBox;
  TCheckBox* BMPCheckBox;
  TCheckBox* PCXCheckBox;
  TCheckBox* TIFFCheckBox;
  TCheckBox* PNGCheckBox;
  TCheckBox* WEBPCheckBox;
  // "Several monitors:": the items in the order of the setting's values.
  TComboBox* MonitorsBox;
  TCheckBox* MatchOrientation;
  TButton* BitBtn3;
  TButton* ExcludedButton;
  TCheckBox* StartWithWindowsBox;
  THotkeyEdit* HotkeyNext;
  THotkeyEdit* HotkeyPrevious;
  THotkeyEdit* HotkeyPause;

  // "Browse...": the folder chooser.
  void Button1Click(TObject* sender);
  // "Advanced Options".
  void BitBtn3Click(TObject* sender);
  // "Excluded Pictures...".
  void ExcludedButtonClick(TObject* sender);
};

// The path without its one trailing backslash ("C:\" becomes "C:").
std::string WithoutTrailingDelimiter(std::string path);

// The configure command's transfer: fill the dialog from the settings store,
// show it, and on OK write every control back and hand the base directory
// and interval to the controller, which registers the hotkeys again. The
// form is the caller's, made for this run.
void ConfigureOptions(TForm1& controller, TOptionsForm& form);
