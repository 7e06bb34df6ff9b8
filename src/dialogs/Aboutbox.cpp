#include "dialogs/Aboutbox.h"

#include "resource.h"

TAboutBox::TAboutBox(TComponent* AOwner) : TDialog(AOwner, IDD_ABOUT) {
  ProductName = Add<TLabel>(IDC_PRODUCTNAME);
  Version = Add<TLabel>(IDC_VERSION);
  Copyright = Add<TLabel>(IDC_COPYRIGHT);
  Company = Add<TLabel>(IDC_COMPANY);
  Comments = Add<TLabel>(IDC_COMMENTS);
  OKButton = Add<TButton>(idOkButton);
  OKButton->ModalResult = mrOk;
  BitBtn1 = Add<TButton>(IDC_UPDATE);
  BitBtn1->ModalResult = mrUpdate;
  EscapeCancels = false;
  OnShow = TNotifyEvent(this, &TAboutBox::FormShow);
  VersionInfo1 = new TVersionInfo(this);
  FormCreate();
}

// A key the executable lacks leaves its label empty ("Version " alone).
void TAboutBox::FormCreate() {
  ProductName->SetText(VersionInfo1->GetVersionInfo(vkProductName));
  Version->SetText("Version " + VersionInfo1->GetVersionInfo(vkFileVersion));
  Copyright->SetText(VersionInfo1->GetVersionInfo(vkLegalCopyright));
  Company->SetText(VersionInfo1->GetVersionInfo(vkCompanyName));
  Comments->SetText(VersionInfo1->GetVersionInfo(vkComments));
}

// The picture's area and the comments' are given in pixels; the icon is
// drawn at the size of the window's resolution.
void TAboutBox::FormShow(TObject*) {
  SetControlSize(IDC_PROGRAMICON, 73, 73);
  SetControlIcon(IDC_PROGRAMICON, IDI_ABOUT);
  SetControlSize(IDC_COMMENTS, 217, 41);
}
