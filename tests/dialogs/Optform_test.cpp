#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "SettingsSandbox.h"
#include "TempDir.h"
#include "app/Mainform.h"
#include "dialogs/Advform.h"
#include "dialogs/KaleidonDialogs.h"
#include "dialogs/Optform.h"
#include "framework/Application.h"
#include "framework/Files.h"

namespace {

// The user is played through the modal hook: User runs on the options
// dialog, Advanced on the advanced options dialog.
class OptformTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application = &FApplication;
    FApplication.Title = "Kaleidon";
    SetModalHook([this](TDialog& dialog) {
      if (auto* advanced = dynamic_cast<TAdvancedForm*>(&dialog)) return Advanced(*advanced);
      ++Shown;
      return User(static_cast<TOptionsForm&>(dialog));
    });
  }
  void TearDown() override { SetModalHook({}); }

  void Configure() {
    TOptionsForm form(Controller.get());
    ConfigureOptions(*Controller, form);
  }

  TSettingsSandbox Sandbox;
  TApplication FApplication;
  TFakeDesktop Desktop;
  std::unique_ptr<TForm1> Controller = std::make_unique<TForm1>(nullptr, Desktop);
  std::function<int(TOptionsForm&)> User = [](TOptionsForm&) { return mrCancel; };
  std::function<int(TAdvancedForm&)> Advanced = [](TAdvancedForm&) { return mrCancel; };
  int Shown = 0;
};

}  // namespace

TEST_F(OptformTest, FirstRunShowsTheDefaults) {
  User = [](TOptionsForm& form) {
    EXPECT_EQ(form.PaperLocation->Text(), WithoutTrailingDelimiter(ExecutableDirectory()));
    EXPECT_FALSE(form.ChangeOnStart->Checked());
    for (TCheckBox* box : {form.RandomWP, form.WPInMenu, form.JPEGCheckBox, form.GIFCheckBox, form.BMPCheckBox,
                           form.PCXCheckBox, form.TIFFCheckBox, form.PNGCheckBox, form.WEBPCheckBox})
      EXPECT_TRUE(box->Checked());
    EXPECT_EQ(form.ChangeTime->Text(), "0");
    return mrCancel;
  };
  Configure();
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(StoredSetting("Change Time"), "<none>");
}

TEST_F(OptformTest, StoredValuesShowClampedAndWithoutOneTrailingBackslash) {
  std::vector<std::pair<std::string, std::string>> shown;
  User = [&](TOptionsForm& form) {
    shown.emplace_back(form.PaperLocation->Text(), form.ChangeTime->Text());
    return mrCancel;
  };
  StoreSetting("WPLocation", "D:\\Pictures\\");
  StoreSetting("Change Time", "5000");
  Configure();
  StoreSetting("WPLocation", "D:\\Pictures\\\\");
  StoreSetting("Change Time", "-3");
  Configure();
  StoreSetting("WPLocation", "C:\\");
  Configure();
  EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{
                       {"D:\\Pictures", "2000"}, {"D:\\Pictures\\", "0"}, {"C:", "0"}}));
}

TEST_F(OptformTest, OkWritesEveryControlAndHandsTheControllerItsValues) {
  User = [](TOptionsForm& form) {
    form.PaperLocation->SetText("D:\\Walls\\");
    form.ChangeOnStart->SetChecked(true);
    form.RandomWP->SetChecked(false);
    form.WPInMenu->SetChecked(false);
    form.ChangeTime->SetText("5000");  // typed, the focus still in the field
    form.GIFCheckBox->SetChecked(false);
    form.TIFFCheckBox->SetChecked(false);
    form.WEBPCheckBox->SetChecked(false);
    form.BitBtn1->Click();
    return form.ModalResult();
  };
  Configure();
  EXPECT_EQ(StoredSetting("WPLocation"), "D:\\Walls\\");
  EXPECT_EQ(StoredSetting("Change Paper"), "1");
  EXPECT_EQ(StoredSetting("Random Paper"), "0");
  EXPECT_EQ(StoredSetting("Display Papers"), "0");
  EXPECT_EQ(StoredSetting("Change Time"), "2000");
  EXPECT_EQ(StoredSetting("JPEG"), "1");
  EXPECT_EQ(StoredSetting("GIF"), "0");
  EXPECT_EQ(StoredSetting("TIFF"), "0");
  EXPECT_EQ(StoredSetting("PNG"), "1");
  EXPECT_EQ(StoredSetting("WEBP"), "0");
  EXPECT_EQ(Controller->BaseDir(), "D:\\Walls\\");
  EXPECT_EQ(Controller->MinutesLeft(), 2000);
  EXPECT_TRUE(Controller->Timer1->Enabled());
  EXPECT_EQ(Controller->TrayIcon1->Hint(), "Wallpaper: ; Time: 2000 Min");
}

TEST_F(OptformTest, OkStoresTextThatIsNoNumberAsZero) {
  StoreSetting("Change Time", "7");
  User = [](TOptionsForm& form) {
    form.ChangeTime->SetText("soon");
    return mrOk;
  };
  Configure();
  EXPECT_EQ(StoredSetting("Change Time"), "0");
  EXPECT_FALSE(Controller->Timer1->Enabled());
}

TEST_F(OptformTest, CancelWritesNothing) {
  StoreSetting("WPLocation", "D:\\Pictures");
  User = [](TOptionsForm& form) {
    form.PaperLocation->SetText("E:\\");
    form.ChangeTime->SetValue(9);
    return mrCancel;
  };
  Configure();
  EXPECT_EQ(StoredSetting("WPLocation"), "D:\\Pictures");
  EXPECT_EQ(StoredSetting("Change Time"), "<none>");
  EXPECT_EQ(Controller->MinutesLeft(), 0);
}

TEST_F(OptformTest, AdvancedOkSurvivesACancelOfTheOptions) {
  Advanced = [](TAdvancedForm& form) {
    form.SmallWidth->SetText("-5");
    return mrOk;
  };
  User = [](TOptionsForm& form) {
    form.BitBtn3->Click();
    return mrCancel;
  };
  Configure();
  EXPECT_EQ(StoredSetting("Small Width"), "-5");
  EXPECT_EQ(StoredSetting("Small Type"), "3");
}

TEST_F(OptformTest, SecondConfigureWhileOpenOpensNoSecondDialog) {
  TKaleidonDialogs dialogs;
  User = [&](TOptionsForm&) {
    dialogs.Configure(*Controller);
    return mrCancel;
  };
  dialogs.Configure(*Controller);
  EXPECT_EQ(Shown, 1);
  dialogs.Configure(*Controller);
  EXPECT_EQ(Shown, 2);  // closed, it opens again
}

TEST(Optform_WithoutTrailingDelimiter, OneBackslashOnly) {
  EXPECT_EQ(WithoutTrailingDelimiter("C:\\"), "C:");
  EXPECT_EQ(WithoutTrailingDelimiter("D:\\x\\\\"), "D:\\x\\");
  EXPECT_EQ(WithoutTrailingDelimiter(""), "");
}
