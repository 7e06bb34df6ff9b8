#include "dialogs/Updateform.h"

#include <chrono>

#include "app/Settings.h"
#include "framework/Registry.h"
#include "resource.h"
#include "update/UpdateSettings.h"

const char UpdateExplanation[] =
    "You must be connected to the internet for Kaleidon to check for an update.  If you are connected to the "
    "internet then press the \"Check for Upgrade\" button to see if ther is a newer version available.\r\n"
    "Kaleidon will check for an update and then prompt you as to whether you would like to download the upgrade.";

namespace {

// The heading's character height; the rest of the dialog has its font's 11.
constexpr int HeadingHeight = 21;

// The page's address, proxy, verification and time limit as the store
// holds them, each over its built-in default, and the machine's policy.
TUpdateSettings StoredUpdateSettings() {
  const auto settings = OpenSettings();
  TUpdateSettingTexts texts;
  texts.URL = settings->ReadString(SettingsSection, UpdateURLSetting, DefaultUpdateURL());
  texts.Proxy = settings->ReadString(SettingsSection, UpdateProxySetting, "");
  texts.Verify = settings->ReadString(SettingsSection, UpdateVerifySetting, "");
  texts.Timeout = settings->ReadString(SettingsSection, UpdateTimeoutSetting, "");
  ReadMachineValue(UpdatePolicyKey, UpdateVerifySetting, texts.PolicyVerify);
  return ParseUpdateSettings(texts, !BuiltInUpdateKey().empty());
}

std::string StoredHighestVersion() {
  return OpenSettings()->ReadString(SettingsSection, UpdateHighestVersionSetting, "");
}

// Written only by the checker, once a signed release verified.
void KeepHighestVersion(TObject*, const std::string& version) {
  OpenSettings()->WriteString(SettingsSection, UpdateHighestVersionSetting, version);
}

}  // namespace

TFormUpdate::TFormUpdate(TComponent* AOwner) : TDialog(AOwner, IDD_UPDATE) {
  BitBtn1 = Add<TButton>(idOkButton);
  BitBtn1->ModalResult = mrOk;
  BitBtn2 = Add<TButton>(IDC_CHECKUPGRADE);
  BitBtn2->OnClick = TNotifyEvent(this, &TFormUpdate::BitBtn2Click);
  Label1 = Add<TLabel>(IDC_UPDATEHEADING);
  Label2 = Add<TLabel>(IDC_UPDATETEXT);
  Label2->SetText(UpdateExplanation);
  EscapeCancels = false;
  OnShow = TNotifyEvent(this, &TFormUpdate::FormShow);

  WebFileInfo1 = new TWebFileInfo(this);
  const TUpdateSettings stored = StoredUpdateSettings();
  WebFileInfo1->SetURL(stored.HomeURL);
  WebFileInfo1->InfoTags = ProductPageTags();
  WebFileInfo1->SetOptions({wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate});
  WebFileInfo1->UIFont = TFont();
  WebFileInfo1->ProxyHost = stored.ProxyHost;
  WebFileInfo1->ProxyPort = stored.ProxyPort;
  WebFileInfo1->Verify = stored.Verify;
  WebFileInfo1->TimeLimit = std::chrono::seconds(stored.TimeLimitSeconds);
  WebFileInfo1->HighestVersion = StoredHighestVersion();
  WebFileInfo1->OnReleaseVerified = TStringEvent(KeepHighestVersion);
}

// The explanation's area is given in pixels.
void TFormUpdate::FormShow(TObject*) {
  SetControlFont(IDC_UPDATEHEADING, TFont{.Height = HeadingHeight});
  SetControlSize(IDC_UPDATETEXT, 329, 97);
}

void TFormUpdate::BitBtn2Click(TObject*) { WebFileInfo1->CheckForUpdate(); }
