#include "dialogs/Exclform.h"

#include "app/Exclusions.h"
#include "app/Settings.h"
#include "resource.h"

TExcludedForm::TExcludedForm(TComponent* AOwner) : TDialog(AOwner, IDD_EXCLUDED) {
  ExcludedList = Add<TListBox>(IDC_EXCLUDEDLIST);
  RemoveButton = Add<TButton>(IDC_REMOVE);
  RemoveButton->OnClick = TNotifyEvent(this, &TExcludedForm::RemoveButtonClick);
  BitBtn1 = Add<TButton>(idOkButton);
  BitBtn1->ModalResult = mrOk;
  BitBtn2 = Add<TButton>(idCancelButton);
  BitBtn2->ModalResult = mrCancel;
}

void TExcludedForm::RemoveButtonClick(TObject*) { ExcludedList->Delete(ExcludedList->ItemIndex()); }

// The list is sorted as the catalogue is.
void EditExclusions(TComponent& owner) {
  TExcludedForm form(&owner);
  form.ExcludedList->Items.SetSorted(true);
  for (const std::string& path : ReadExclusions(*OpenSettings())) form.ExcludedList->Items.Add(path);
  TStringList listed;
  listed.AddStrings(form.ExcludedList->Items);
  if (form.ShowModal() != mrOk) return;
  auto settings = OpenSettings();
  for (int i = 0; i < listed.Count(); ++i)
    if (form.ExcludedList->Items.IndexOf(listed[i]) < 0) Readmit(*settings, listed[i]);
}
