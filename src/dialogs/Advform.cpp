#include "dialogs/Advform.h"

#include "app/Placement.h"
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
  SmoothResize->SetChecked(SmoothResizeDefault);
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
  const auto read = [&](const char* name, int32_t Default) {
    return settings->ReadInteger(SettingsSection, name, Default);
  };
  form.SmallWidth->SetValue(read("Small Width", 0));
  form.SmallHeight->SetValue(read("Small Height", 0));
  form.SmallType->SetItemIndex(read("Small Type", 3));
  form.MiddleType->SetItemIndex(read("Middle Type", 3));
  form.LargeWidth->SetValue(read("Large Width", 0));
  form.LargeHeight->SetValue(read("Large Height", 0));
  form.LargeType->SetItemIndex(read("Large Type", 3));
  form.SmoothResize->SetChecked(settings->ReadBool(SettingsSection, SmoothResizeSetting, SmoothResizeDefault));
  if (form.ShowModal() != mrOk) return;
  settings->WriteInteger(SettingsSection, "Small Width", form.SmallWidth->Value());
  settings->WriteInteger(SettingsSection, "Small Height", form.SmallHeight->Value());
  settings->WriteInteger(SettingsSection, "Small Type", form.SmallType->ItemIndex());
  settings->WriteInteger(SettingsSection, "Middle Type", form.MiddleType->ItemIndex());
  settings->WriteInteger(SettingsSection, "Large Width", form.LargeWidth->Value());
  settings->WriteInteger(SettingsSection, "Large Height", form.LargeHeight->Value());
  settings->WriteInteger(SettingsSection, "Large Type", form.LargeType->ItemIndex());
  settings->WriteBool(SettingsSection, SmoothResizeSetting, form.SmoothResize->Checked());
}
