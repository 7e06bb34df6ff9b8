#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "SettingsSandbox.h"
#include "TempDir.h"
#include "app/Mainform.h"
#include "app/StartWithWindows.h"
#include "dialogs/Advform.h"
#include "dialogs/KaleidonDialogs.h"
#include "dialogs/Optform.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/RegIniFile.h"
#include "framework/UserHooks.h"

namespace {

// The user is played through the modal hook: User runs on the options
// dialog, Advanced on the advanced options dialog.
class OptformTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application = &FApplication;
    FApplication.Title = "Kaleidon";
  }
  // A Run value left behind would start the test program at the next sign-in.
  void TearDown() override { TRegIniFile(RunKeyParent).DeleteValue(RunSection, RunValue); }

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
  TUserHooksScope Played{{.Modal = [this](TDialog& dialog) {
    if (auto* advanced = dynamic_cast<TAdvancedForm*>(&dialog)) return Advanced(*advanced);
    ++Shown;
    return User(static_cast<TOptionsForm&>(dialog));
  }}};
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
    EXPECT_EQ(form.MonitorsBox->ItemIndex(), 0);  // one monitor at the first start
    EXPECT_TRUE(form.MatchOrientation->Checked());
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
    form.MonitorsBox->SetItemIndex(2);
    form.MatchOrientation->SetChecked(false);
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
  EXPECT_EQ(StoredSetting("Monitors"), "2");
  EXPECT_EQ(StoredSetting("Match Orientation"), "0");
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

// The box shows whether the value is there at all; ticked, OK makes it name
// this copy, cleared, OK removes it.
TEST_F(OptformTest, StartWithWindowsShowsTheRunValueAndOkWritesOrRemovesIt) {
  TRegIniFile run(RunKeyParent);
  run.WriteString(RunSection, RunValue, "\"C:\\Old copy\\Kaleidon.exe\"");
  bool shown = false;
  User = [&](TOptionsForm& form) {
    shown = form.StartWithWindowsBox->Checked();
    return mrOk;
  };
  Configure();
  EXPECT_TRUE(shown);
  EXPECT_EQ(run.ReadString(RunSection, RunValue, "<none>"), "\"" + ExecutableFileName() + "\"");
  User = [](TOptionsForm& form) {
    form.StartWithWindowsBox->SetChecked(false);
    return mrOk;
  };
  Configure();
  EXPECT_FALSE(StartsWithWindows());
}

// A hotkey is written only when it was changed: a stored one the field
// cannot show (a Win modifier) stays as it is.
TEST_F(OptformTest, HotkeysShowAndOnlyTheChangedAreWritten) {
  StoreSetting("Hotkey Previous", "Win+Alt+Left");
  std::vector<THotkey> shown;
  User = [&](TOptionsForm& form) {
    shown = {form.HotkeyNext->Hotkey(), form.HotkeyPrevious->Hotkey(), form.HotkeyPause->Hotkey()};
    form.HotkeyPause->SetHotkey({});
    return mrOk;
  };
  Configure();
  EXPECT_EQ(shown, (std::vector<THotkey>{{hkCtrl | hkAlt, 0x27}, {hkAlt, 0x25}, {hkCtrl | hkAlt, 'P'}}));
  EXPECT_EQ(StoredSetting("Hotkey Next"), "<none>");
  EXPECT_EQ(StoredSetting("Hotkey Previous"), "Win+Alt+Left");
  EXPECT_EQ(StoredSetting("Hotkey Pause"), "");
}

TEST(Optform_WithoutTrailingDelimiter, OneBackslashOnly) {
  EXPECT_EQ(WithoutTrailingDelimiter("C:\\"), "C:");
  EXPECT_EQ(WithoutTrailingDelimiter("D:\\x\\\\"), "D:\\x\\");
  EXPECT_EQ(WithoutTrailingDelimiter(""), "");
}
