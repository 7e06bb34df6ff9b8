// The About box and the About command that leads on to the update dialog.

#include "dialogs/Aboutbox.h"

#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "SettingsSandbox.h"
#include "app/Mainform.h"
#include "dialogs/KaleidonDialogs.h"
#include "dialogs/Updateform.h"
#include "framework/Application.h"
#include "framework/UserHooks.h"

namespace {

// The user answers the About box; the update dialog, when it opens, is
// looked at and closed with "Done".
class KaleidonDialogs_About : public ::testing::Test {
protected:
  void SetUp() override {
    Application = &FApplication;
    FApplication.Title = "Kaleidon";
  }

  TSettingsSandbox Sandbox;
  TApplication FApplication;
  TKaleidonDialogs Dialogs;
  TFakeDesktop Desktop;
  std::unique_ptr<TForm1> Controller = std::make_unique<TForm1>(nullptr, Desktop, Dialogs);
  int AboutResult = mrOk;
  std::vector<std::string> UpdateVersions;
  int ComponentsWhileAbout = 0;
  int ComponentsWhileUpdating = 0;
  TUserHooksScope Played{{.Modal = [this](TDialog& dialog) {
    if (auto* update = dynamic_cast<TFormUpdate*>(&dialog)) {
      UpdateVersions.push_back(update->WebFileInfo1->CurrentVersion);
      ComponentsWhileUpdating = Controller->ComponentCount();
      return mrOk;
    }
    ComponentsWhileAbout = Controller->ComponentCount();
    return AboutResult;
  }}};
};

}  // namespace

TEST(AboutBox_FormCreate, LabelsFromTheRunningExecutable) {
  TAboutBox box(nullptr);
  TVersionInfo info(nullptr);
  EXPECT_EQ(box.ProductName->Text(), info.GetVersionInfo(vkProductName));
  EXPECT_EQ(box.Version->Text(), "Version " + info.GetVersionInfo(vkFileVersion));
  EXPECT_EQ(box.Copyright->Text(), info.GetVersionInfo(vkLegalCopyright));
  EXPECT_EQ(box.Company->Text(), info.GetVersionInfo(vkCompanyName));
  EXPECT_EQ(box.Comments->Text(), info.GetVersionInfo(vkComments));
  EXPECT_EQ(box.OKButton->ModalResult, mrOk);
  EXPECT_EQ(box.BitBtn1->ModalResult, mrUpdate);
  EXPECT_FALSE(box.EscapeCancels);
}

TEST_F(KaleidonDialogs_About, OkOrTheCloseBoxClosesTheBoxAndNothingElseOpens) {
  const int before = Controller->ComponentCount();
  for (const int result : {mrOk, mrCancel}) {
    AboutResult = result;
    Controller->AboutKaleidon1Click(nullptr);
    EXPECT_EQ(ComponentsWhileAbout, before + 1);
    EXPECT_TRUE(UpdateVersions.empty());
    EXPECT_EQ(Controller->ComponentCount(), before);
  }
}

TEST_F(KaleidonDialogs_About, UpdateOpensTheUpdateDialogFromTheFileVersionWithTheBoxGone) {
  const int before = Controller->ComponentCount();
  AboutResult = mrUpdate;
  Controller->AboutKaleidon1Click(nullptr);
  EXPECT_EQ(UpdateVersions, std::vector<std::string>{TVersionInfo(nullptr).GetVersionInfo(vkFileVersion)});
  EXPECT_EQ(ComponentsWhileUpdating, before + 1);
  EXPECT_EQ(Controller->ComponentCount(), before);
}
