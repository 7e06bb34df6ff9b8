#pragma once
// The advanced options dialog: the size thresholds and the placements for
// small, middle and large images, and whether stretching is smooth.

#include "framework/Dialogs.h"

class TAdvancedForm : public TDialog {
public:
  explicit TAdvancedForm(TComponent* AOwner);

  TSpinEdit* SmallWidth;
  TSpinEdit* SmallHeight;
  TComboBox* SmallType;
  TComboBox* MiddleType;
  TSpinEdit* LargeWidth;
  TSpinEdit* LargeHeight;
  TComboBox* LargeType;
  TCheckBox* SmoothResize;
  TButton* BitBtn1;
  TButton* BitBtn2;
};

// The advanced options transfer (the options dialog's "Advanced Options"
// button): fill from the settings store, show, and on OK write every control
// back at once.
void EditAdvancedOptions(TDialog& owner);
