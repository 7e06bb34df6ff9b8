#include "dialogs/Advform.h"

#include "app/Settings.h"
#include "resource.h"

TAdvancedForm::TAdvancedForm(TComponent* AOwner) : TDialog(AOwner, IDD_ADVANCED) {
  SmallWidth = Add<TSpinEdit>(IDC_SMALLWIDTH, TSpinKind::skFree);
  SmallHeight = Add<TSpinEdit>(IDC_SMALLHEIGHT, TSpinKind::skFree);
  SmallType = Add<TComboBox>(IDC_SMALLTYPE);
  MiddleType = Add<TComboBox>(IDC_MIDDLETYPE);
  LargeWidth = Add<TSpinEdit>(IDC_LARGEWIDTH, TSpinKind::skFree);
  LargeHeight = Add<TSpinEdit>(IDC_LARGEHEIGHT, TSpinKind::skFree);
  LargeType = Add<TComboBox>(IDC_LARGETYPE);
  SmoothResize = Add<TCheckBox>(IDC_SMOOTHRESIZE);
  SmoothResize->SetChecked(SmoothResizeSetting.Default);
  BitBtn1 = Add<TButton>(idOkButton);
  BitBtn1->ModalResult = mrOk;
  BitBtn2 = Add<TButton>(idCancelButton);
  BitBtn2->ModalResult = mrCancel;
  for (TComboBox* list : {SmallType, MiddleType, LargeType})
    list->Items = {"Tile", "Center", "Stretch", "Stretch Proportionally"};
}

// The transfer keeps a store of its own from the reads to the writes, so a
// wallpaper change during the dialog cannot disturb it; a stored placement
// outside the list leaves it with nothing chosen (written back as -1).
void EditAdvancedOptions(TDialog& owner) {
  auto settings = OpenSettings();
  TAdvancedForm form(&owner);
  form.SmallWidth->SetValue(ReadSetting(*settings, SmallWidthSetting));
  form.SmallHeight->SetValue(ReadSetting(*settings, SmallHeightSetting));
  form.SmallType->SetItemIndex(ReadSetting(*settings, SmallTypeSetting));
  form.MiddleType->SetItemIndex(ReadSetting(*settings, MiddleTypeSetting));
  form.LargeWidth->SetValue(ReadSetting(*settings, LargeWidthSetting));
  form.LargeHeight->SetValue(ReadSetting(*settings, LargeHeightSetting));
  form.LargeType->SetItemIndex(ReadSetting(*settings, LargeTypeSetting));
  form.SmoothResize->SetChecked(ReadSetting(*settings, SmoothResizeSetting));
  if (form.ShowModal() != mrOk) return;
  WriteSetting(*settings, SmallWidthSetting, form.SmallWidth->Value());
  WriteSetting(*settings, SmallHeightSetting, form.SmallHeight->Value());
  WriteSetting(*settings, SmallTypeSetting, form.SmallType->ItemIndex());
  WriteSetting(*settings, MiddleTypeSetting, form.MiddleType->ItemIndex());
  WriteSetting(*settings, LargeWidthSetting, form.LargeWidth->Value());
  WriteSetting(*settings, LargeHeightSetting, form.LargeHeight->Value());
  WriteSetting(*settings, LargeTypeSetting, form.LargeType->ItemIndex());
  WriteSetting(*settings, SmoothResizeSetting, form.SmoothResize->Checked());
}
