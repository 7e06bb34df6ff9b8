#pragma once
// The "Excluded Pictures" dialog of "Configure Kaleidon": the pictures that
// "Never Show This Again" excluded, and "Remove" to take one off the list.

#include "framework/Dialogs.h"

class TExcludedForm : public TDialog {
public:
  explicit TExcludedForm(TComponent* AOwner);

  TListBox* ExcludedList;
  TButton* RemoveButton;
  TButton* BitBtn1;
  TButton* BitBtn2;

  // Takes the selected picture off the list.
  void RemoveButtonClick(TObject* sender);
};

// The button's transfer: lists the excluded pictures and, on OK, shows again
// those taken off the list. It writes at once, whatever the options dialog
// it was opened from then ends with.
void EditExclusions(TComponent& owner);
