#pragma once
// The update dialog: a heading, what the check does, "Check for Upgrade"
// and "Done" (Enter), the only way it ends. It carries the update checker,
// set up for this product from the settings store.

#include "framework/Dialogs.h"
#include "update/Webfileinfo.h"

class TFormUpdate : public TDialog {
public:
  explicit TFormUpdate(TComponent* AOwner);

  TLabel* Label1;
  TLabel* Label2;
  TButton* BitBtn2;
  TButton* BitBtn1;
  // Its CurrentVersion is the opener's to set.
  TWebFileInfo* WebFileInfo1;

  // "Check for Upgrade": the check; the dialog stays open after it.
  void BitBtn2Click(TObject* sender);

private:
  void FormShow(TObject* sender);
};

// The explanation below the heading, two paragraphs.
extern const char UpdateExplanation[];
