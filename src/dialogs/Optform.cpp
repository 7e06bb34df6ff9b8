#include "dialogs/Optform.h"

#include <algorithm>

#include "app/Mainform.h"
#include "app/Settings.h"
#include "app/StartWithWindows.h"
#include "dialogs/Advform.h"
#include "dialogs/Exclform.h"
#include "resource.h"

TOptionsForm::TOptionsForm(TComponent* AOwner) : TDialog(AOwner, IDD_OPTIONS) {
  BitBtn1 = Add<TButton>(idOkButton);
  BitBtn1->ModalResult = mrOk;
  BitBtn2 = Add<TButton>(idCancelButton);
  BitBtn2->ModalResult = mrCancel;
  PaperLocation = Add<TEdit>(IDC_PAPERLOCATION);
  PaperLocation->SetText("C:");
  Button1 = Add<TButton>(IDC_BROWSE);
  Button1->OnClick = TNotifyEvent(this, &TOptionsForm::Button1Click);
  ChangeOnStart = Add<TCheckBox>(IDC_CHANGEONSTART);
  RandomWP = Add<TCheckBox>(IDC_RANDOMWP);
  RandomWP->SetChecked(true);
  WPInMenu = Add<TCheckBox>(IDC_WPINMENU);
  WPInMenu->SetChecked(true);
  ChangeTime = Add<TSpinEdit>(IDC_CHANGETIME, TSpinKind::skBounded, 0, 2000);
  JPEGCheckBox = Add<TCheckBox>(IDC_JPEG);
  GIFCheckBox = Add<TCheckBox>(IDC_GIF);
  BMPCheckBox = Add<TCheckBox>(IDC_BMP);
  PCXCheckBox = Add<TCheckBox>(IDC_PCX);
  TIFFCheckBox = Add<TCheckBox>(IDC_TIFF);
  PNGCheckBox = Add<TCheckBox>(IDC_PNG);
  WEBPCheckBox = Add<TCheckBox>(IDC_WEBP);
  for (TCheckBox* kind : {JPEGCheckBox, GIFCheckBox, BMPCheckBox, PCXCheckBox, TIFFCheckBox, PNGCheckBox, WEBPCheckBox})
    kind->SetChecked(true);
  MonitorsBox = Add<TComboBox>(IDC_MONITORS);
  MonitorsBox->Items = {"Same picture on every monitor", "A picture per monitor", "One picture across all monitors"};
  MonitorsBox->SetItemIndex(mmSame);
  MatchOrientation = Add<TCheckBox>(IDC_MATCHORIENTATION);
  MatchOrientation->SetChecked(true);
  BitBtn3 = Add<TButton>(IDC_ADVANCED);
  BitBtn3->OnClick = TNotifyEvent(this, &TOptionsForm::BitBtn3Click);
  ExcludedButton = Add<TButton>(IDC_EXCLUDED);
  ExcludedButton->OnClick = TNotifyEvent(this, &TOptionsForm::ExcludedButtonClick);
  StartWithWindowsBox = Add<TCheckBox>(IDC_STARTWITHWINDOWS);
  HotkeyNext = Add<THotkeyEdit>(IDC_HOTKEYNEXT);
  HotkeyPrevious = Add<THotkeyEdit>(IDC_HOTKEYPREVIOUS);
  HotkeyPause = Add<THotkeyEdit>(IDC_HOTKEYPAUSE);
}

// UTF-8 has no double-byte characters whose trail byte could be a backslash.
std::string WithoutTrailingDelimiter(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// The chooser starts at the desktop every time; a folder without a path (a
// virtual one) cannot be chosen, and a cancel leaves the field as it was.
void TOptionsForm::Button1Click(TObject*) {
  std::string path;
  if (BrowseForFolder(*this, "Choose a Themes Directory", path)) PaperLocation->SetText(WithoutTrailingDelimiter(path));
}

void TOptionsForm::BitBtn3Click(TObject*) { EditAdvancedOptions(*this); }

void TOptionsForm::ExcludedButtonClick(TObject*) { EditExclusions(*this); }

namespace {

struct TKindBox {
  TPictureFormat Format;
  TCheckBox* TOptionsForm::*Box;
};

constexpr TKindBox KindBoxes[] = {
    {TPictureFormat::Jpeg, &TOptionsForm::JPEGCheckBox}, {TPictureFormat::Gif, &TOptionsForm::GIFCheckBox},
    {TPictureFormat::Bmp, &TOptionsForm::BMPCheckBox},   {TPictureFormat::Pcx, &TOptionsForm::PCXCheckBox},
    {TPictureFormat::Tiff, &TOptionsForm::TIFFCheckBox}, {TPictureFormat::Png, &TOptionsForm::PNGCheckBox},
    {TPictureFormat::WebP, &TOptionsForm::WEBPCheckBox},
};

struct THotkeyBox {
  const TSetting<const char*>& Setting;
  THotkeyEdit* TOptionsForm::*Edit;
};

const THotkeyBox HotkeyBoxes[] = {
    {HotkeyNextSetting, &TOptionsForm::HotkeyNext},
    {HotkeyPreviousSetting, &TOptionsForm::HotkeyPrevious},
    {HotkeyPauseSetting, &TOptionsForm::HotkeyPause},
};

// A setting that is no combination shows as none.
THotkey ShownHotkey(TOptionsForm& form, const THotkeyBox& box, const TRegIniFile& settings) {
  THotkey hotkey;
  ParseHotkey(ReadSetting(settings, box.Setting), hotkey);
  (form.*box.Edit)->SetHotkey(hotkey);
  return (form.*box.Edit)->Hotkey();
}

}  // namespace

// The transfer keeps a store of its own for its whole run. OK with the focus
// still in the interval field clamps the typed number as leaving the field
// would; text that is no number is stored as 0. A hotkey is written only
// when the user changed it: what the field cannot show (a Win modifier, text
// that is no combination) stays as stored. A ticked "Start with Windows"
// rewrites the value, so that it names this copy of the program. A new
// choice for several monitors shows the current pictures its way at once.
void ConfigureOptions(TForm1& controller, TOptionsForm& form) {
  auto settings = OpenSettings();
  form.PaperLocation->SetText(ReadBaseDirectory(*settings));
  form.ChangeOnStart->SetChecked(ReadSetting(*settings, ChangePaperSetting));
  form.RandomWP->SetChecked(ReadSetting(*settings, RandomPaperSetting));
  form.WPInMenu->SetChecked(ReadSetting(*settings, DisplayPapersSetting));
  form.ChangeTime->SetValue(ReadSetting(*settings, ChangeTimeSetting));
  for (const TKindBox& kind : KindBoxes) (form.*kind.Box)->SetChecked(ReadSetting(*settings, KindSetting(kind.Format)));
  const int32_t monitors = settings->ReadInteger(SettingsSection, MonitorsSetting, mmSame);
  form.MonitorsBox->SetItemIndex(monitors >= mmSame && monitors <= mmAcross ? monitors : mmSame);
  form.MatchOrientation->SetChecked(ReadSetting(*settings, MatchOrientationSetting));
  form.PaperLocation->SetText(WithoutTrailingDelimiter(form.PaperLocation->Text()));
  form.StartWithWindowsBox->SetChecked(StartsWithWindows());
  std::vector<THotkey> shown;
  for (const THotkeyBox& box : HotkeyBoxes) shown.push_back(ShownHotkey(form, box, *settings));
  if (form.ShowModal() != mrOk) return;
  form.ChangeTime->CheckValue();
  const std::string location = form.PaperLocation->Text();
  const int32_t minutes = form.ChangeTime->Value();
  settings->WriteString(SettingsSection, BaseDirectorySetting, location);
  WriteSetting(*settings, ChangePaperSetting, form.ChangeOnStart->Checked());
  WriteSetting(*settings, RandomPaperSetting, form.RandomWP->Checked());
  WriteSetting(*settings, DisplayPapersSetting, form.WPInMenu->Checked());
  WriteSetting(*settings, ChangeTimeSetting, minutes);
  for (const TKindBox& kind : KindBoxes) WriteSetting(*settings, KindSetting(kind.Format), (form.*kind.Box)->Checked());
  const int32_t newMonitors = std::max(form.MonitorsBox->ItemIndex(), int(mmSame));
  settings->WriteInteger(SettingsSection, MonitorsSetting, newMonitors);
  WriteSetting(*settings, MatchOrientationSetting, form.MatchOrientation->Checked());
  for (size_t i = 0; i < std::size(HotkeyBoxes); ++i)
    if (const THotkey chosen = (form.*HotkeyBoxes[i].Edit)->Hotkey(); chosen != shown[i])
      WriteSetting(*settings, HotkeyBoxes[i].Setting, HotkeyText(chosen));
  settings.reset();
  SetStartWithWindows(form.StartWithWindowsBox->Checked());
  controller.SetBaseDir(location);
  controller.SetChangeTimer(minutes);
  controller.UpdateTrayHint();
  controller.RegisterHotkeys();
  if (newMonitors != monitors) controller.RunChange([&] { controller.ShowCurrentPictures(); });
}
