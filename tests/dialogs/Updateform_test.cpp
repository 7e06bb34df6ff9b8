// The update dialog: its texts and the checker it sets up from the settings.

#include "dialogs/Updateform.h"

#include <gtest/gtest.h>

#include "SettingsSandbox.h"
#include "framework/Application.h"
#include "framework/UserHooks.h"
#include "update/UpdateSettings.h"

TEST(FormUpdate_Create, TextsButtonsAndTheCheckerForThisProduct) {
  TSettingsSandbox sandbox;
  const TFormUpdate form(nullptr);
  EXPECT_EQ(form.Label2->Text(),
            "You must be connected to the internet for Kaleidon to check for an update.  If you are connected to the "
            "internet then press the \"Check for Upgrade\" button to see if ther is a newer version available.\r\n"
            "Kaleidon will check for an update and then prompt you as to whether you would like to download the "
            "upgrade.");
  EXPECT_EQ(form.BitBtn1->ModalResult, mrOk);
  EXPECT_EQ(form.BitBtn2->ModalResult, mrNone);
  EXPECT_FALSE(form.EscapeCancels);
  const TWebFileInfo& info = *form.WebFileInfo1;
  EXPECT_EQ(info.HomeURL(), IsHttpURL(DefaultUpdateURL()) ? DefaultUpdateURL() : "");
  EXPECT_EQ(info.Options().Value(), 30);
  EXPECT_EQ(info.UIFont, (TFont{"MS Shell Dlg", 11}));
  EXPECT_EQ(info.CurrentVersion, "");
  EXPECT_EQ(info.ProxyHost, "");
  EXPECT_EQ(info.TimeLimit.count(), 0);
  const TWfiTags& tags = info.InfoTags;
  EXPECT_EQ((std::vector<std::string>{tags.AuthorTag, tags.AuthorEMailTag, tags.DateTag, tags.DownloadTag,
                                      tags.ProductNameTag, tags.ReadMeTag, tags.ReadMeExtTag, tags.RedirectTag,
                                      tags.RunParamsTag, tags.VersionTag}),
            (std::vector<std::string>{"Author", "AuthorEmail", "KDNDate", "KDNDownload", "KDNName", "KDNReadme",
                                      "KDNReadmeExt", "KDNRedirect", "KDNRun", "KDNVersion"}));
}

TEST(FormUpdate_Create, SettingsOverTheBuiltInDefaults) {
  TSettingsSandbox sandbox;
  StoreSetting("Update URL", "http://updates.example/kaleidon.htm");
  StoreSetting("Update Proxy", "cache.example:3128");
  StoreSetting("Update Verify", "0");
  StoreSetting("Update Timeout", "5");
  const TFormUpdate form(nullptr);
  const TWebFileInfo& info = *form.WebFileInfo1;
  EXPECT_EQ(info.HomeURL(), "http://updates.example/kaleidon.htm");
  EXPECT_EQ(info.ProxyHost, "cache.example");
  EXPECT_EQ(info.ProxyPort, 3128);
  EXPECT_EQ(info.Verify, uvNone);
  EXPECT_EQ(info.TimeLimit.count(), 5000);
  StoreSetting("Update URL", "ftp://updates.example/");
  EXPECT_EQ(TFormUpdate(nullptr).WebFileInfo1->HomeURL(), "");
}

TEST(FormUpdate_BitBtn2Click, EveryPressRunsACheckAndTheDialogStays) {
  TSettingsSandbox sandbox;
  TApplication application;
  application.Title = "Kaleidon";
  StoreSetting("Update URL", "");
  TFormUpdate form(nullptr);
  TUserHooksScope user({.Modal = [](TDialog& dialog) {
    auto& update = static_cast<TFormUpdate&>(dialog);
    update.BitBtn2->Click();
    update.BitBtn2->Click();
    EXPECT_EQ(update.ModalResult(), mrNone);
    update.BitBtn1->Click();
    return update.ModalResult();
  }});
  EXPECT_EQ(form.ShowModal(), mrOk);
  ASSERT_EQ(sandbox.Messages.size(), 4u);
  EXPECT_EQ(sandbox.Messages[0].Caption, "Missing Home URL");
  EXPECT_EQ(sandbox.Messages[1].Caption, "Connection Error");
  EXPECT_EQ(sandbox.Messages[3].Text, "Could not retrieve version information from the Internet.\rError unknown.");
}
