#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "SettingsSandbox.h"
#include "TempDir.h"
#include "app/Mainform.h"
#include "dialogs/Wplistform.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/UserHooks.h"
#include "imaging/BmpCodec.h"

namespace {

std::string BmpOfSize(int width, int height) {
  const std::vector<uint8_t> bytes = WriteBitmapStream(TBitmap(width, height));
  return std::string(bytes.begin(), bytes.end());
}

class WplistformTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application = &FApplication;
    FApplication.Title = "Kaleidon";
    for (const char* name : {"b.bmp", "A.bmp", "sub/c.bmp"}) Pictures.Write(name, BmpOfSize(100, 50));
    TRegIniFile("Software\\Trellwick\\Kaleidon").WriteString("Settings", "WPLocation", Pictures.Path());
    Controller = std::make_unique<TForm1>(nullptr, Desktop);
  }

  void List() {
    TFormListWP form(Controller.get());
    ListWallpapers(*Controller, form);
  }
  std::string Picture(const std::string& name) { return Pictures.Path() + "\\" + name; }

  TSettingsSandbox Sandbox;
  TApplication FApplication;
  TTempDir Pictures;
  TTempDir AppData;
  TFakeDesktop Desktop{AppData.Path()};
  std::unique_ptr<TForm1> Controller;
  std::function<int(TFormListWP&)> User;
  TUserHooksScope Played{{.Modal = [this](TDialog& dialog) { return User(static_cast<TFormListWP&>(dialog)); }}};
};

}  // namespace

TEST_F(WplistformTest, ListsTheCatalogueInOrderWithNothingSelected) {
  User = [&](TFormListWP& form) {
    EXPECT_EQ(form.WPListBox->Items.Count(), 3);
    EXPECT_EQ(form.WPListBox->Items[0], Picture("A.bmp"));
    EXPECT_EQ(form.WPListBox->Items[1], Picture("b.bmp"));
    EXPECT_EQ(form.WPListBox->Items[2], Picture("sub\\c.bmp"));
    EXPECT_EQ(form.WPListBox->ItemIndex(), -1);
    EXPECT_EQ(form.ImageHolder1->Bitmap().Width(), 0);
    EXPECT_FALSE(form.ShowMonitors);  // one monitor
    return mrCancel;
  };
  List();
  EXPECT_EQ(Controller->CurrentWallpaper(), "");
}

TEST_F(WplistformTest, OkAppliesTheSelectedEntry) {
  User = [](TFormListWP& form) {
    form.WPListBox->SetItemIndex(1);
    return mrOk;
  };
  List();
  EXPECT_EQ(Controller->CurrentWallpaper(), Picture("b.bmp"));
}

TEST_F(WplistformTest, WithAPicturePerMonitorOkGivesTheChosenMonitorThePicture) {
  Desktop.Screens.push_back({{1024, 0, 800, 600}, false, "DISPLAY2"});
  TRegIniFile("Software\\Trellwick\\Kaleidon").WriteString("Settings", "Monitors", "1");
  User = [](TFormListWP& form) {
    EXPECT_TRUE(form.ShowMonitors);
    EXPECT_EQ(form.MonitorBox->Items, (std::vector<std::string>{"1", "2", "All"}));
    EXPECT_EQ(form.MonitorBox->ItemIndex(), 0);  // the primary
    form.WPListBox->SetItemIndex(1);
    form.MonitorBox->SetItemIndex(1);
    return mrOk;
  };
  List();
  EXPECT_EQ(Controller->MonitorWallpapers(), (std::vector<std::string>{"", Picture("b.bmp")}));
}

TEST_F(WplistformTest, DoubleClickEndsWithOk) {
  User = [](TFormListWP& form) {
    form.WPListBox->SetItemIndex(2);
    form.WPListBox->Notify(lbnDblClk);
    return form.ModalResult();
  };
  List();
  EXPECT_EQ(Controller->CurrentWallpaper(), Picture("sub\\c.bmp"));
}

// OK, Enter and a double-click on empty space wait for a selection.
TEST_F(WplistformTest, OkWithNothingSelectedDoesNothing) {
  User = [](TFormListWP& form) {
    form.BitBtn1->Click();
    form.WPListBox->Notify(lbnDblClk);
    EXPECT_EQ(form.ModalResult(), mrNone);
    return mrOk;  // a result that bypasses the button changes nothing either
  };
  List();
  EXPECT_EQ(Controller->CurrentWallpaper(), "");
  EXPECT_TRUE(Sandbox.Messages.empty());
}

TEST_F(WplistformTest, SelectionsWaitingForTheirPreviewAreSkipped) {
  Pictures.Write("d.bmp", BmpOfSize(1600, 800));
  User = [](TFormListWP& form) {
    for (int index : {0, 3, 2}) {  // A.bmp, sub\\c.bmp, d.bmp
      form.WPListBox->SetItemIndex(index);
      form.WPListBox->Notify(lbnSelChange);
    }
    EXPECT_EQ(form.ImageHolder1->Bitmap().Width(), 0);  // nothing decoded yet
    EXPECT_TRUE(form.PreviewTimer->Enabled());
    form.PreviewTimer->Tick();
    EXPECT_FALSE(form.PreviewTimer->Enabled());
    EXPECT_EQ(form.ImageHolder1->Bitmap().Width(), 1600);
    EXPECT_EQ(form.ImageHolder1->Zoom(), 11);
    form.WPListBox->SetItemIndex(0);
    form.WPListBox->Notify(lbnSelChange);
    form.PreviewTimer->Tick();
    EXPECT_EQ(form.ImageHolder1->Zoom(), 186);
    return mrCancel;
  };
  List();
}

TEST_F(WplistformTest, UnreadablePreviewIsReportedAndTheOldOneStays) {
  Pictures.Write("e.bmp", "not a bitmap");
  User = [](TFormListWP& form) {
    form.WPListBox->SetItemIndex(0);
    form.WPListBox->Notify(lbnSelChange);
    form.PreviewTimer->Tick();
    form.WPListBox->SetItemIndex(2);  // e.bmp
    form.WPListBox->Notify(lbnSelChange);
    form.PreviewTimer->Tick();
    EXPECT_EQ(form.ImageHolder1->Bitmap().Width(), 100);
    return mrCancel;
  };
  List();
  ASSERT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Sandbox.Messages[0].Text, "Stream read error");
}
