#include <gtest/gtest.h>

#include "SettingsSandbox.h"
#include "dialogs/Advform.h"
#include "framework/RegIniFile.h"
#include "framework/UserHooks.h"

namespace {

class AdvformTest : public ::testing::Test {
protected:
  TSettingsSandbox Sandbox;
  TDialog Owner{nullptr, 0};
  std::function<int(TAdvancedForm&)> User;
  TUserHooksScope Played{{.Modal = [this](TDialog& dialog) { return User(static_cast<TAdvancedForm&>(dialog)); }}};
};

}  // namespace

TEST_F(AdvformTest, DefaultsShowZeroAndStretchProportionally) {
  User = [](TAdvancedForm& form) {
    for (TSpinEdit* spin : {form.SmallWidth, form.SmallHeight, form.LargeWidth, form.LargeHeight})
      EXPECT_EQ(spin->Text(), "0");
    for (TComboBox* list : {form.SmallType, form.MiddleType, form.LargeType}) {
      EXPECT_EQ(list->ItemIndex(), 3);
      EXPECT_EQ(list->Items, (std::vector<std::string>{"Tile", "Center", "Stretch", "Stretch Proportionally"}));
    }
    EXPECT_TRUE(form.SmoothResize->Checked());
    return mrCancel;
  };
  EditAdvancedOptions(Owner);
  EXPECT_EQ(StoredSetting("Small Width"), "<none>");
}

TEST_F(AdvformTest, OkWritesTheValuesAsEntered) {
  StoreSetting("Middle Type", "7");
  StoreSetting("Large Width", "800");
  User = [](TAdvancedForm& form) {
    EXPECT_EQ(form.MiddleType->ItemIndex(), -1);
    EXPECT_EQ(form.LargeWidth->Text(), "800");
    form.SmallWidth->SetText("-5");
    form.SmallHeight->SetText("-");
    form.LargeHeight->SetText("99999999999");
    form.SmallType->SetItemIndex(0);
    form.LargeType->SetItemIndex(2);
    form.SmoothResize->SetChecked(false);
    form.BitBtn1->Click();
    return form.ModalResult();
  };
  EditAdvancedOptions(Owner);
  EXPECT_EQ(StoredSetting("Small Width"), "-5");
  EXPECT_EQ(StoredSetting("Small Height"), "0");
  EXPECT_EQ(StoredSetting("Small Type"), "0");
  EXPECT_EQ(StoredSetting("Middle Type"), "-1");
  EXPECT_EQ(StoredSetting("Large Width"), "800");
  EXPECT_EQ(StoredSetting("Large Height"), "2147483647");
  EXPECT_EQ(StoredSetting("Large Type"), "2");
  EXPECT_EQ(StoredSetting("Smooth Resize"), "0");
}

TEST_F(AdvformTest, CancelWritesNothing) {
  User = [](TAdvancedForm& form) {
    form.SmallWidth->SetText("12");
    form.SmallType->SetItemIndex(1);
    return mrCancel;
  };
  EditAdvancedOptions(Owner);
  EXPECT_EQ(StoredSetting("Small Width"), "<none>");
  EXPECT_EQ(StoredSetting("Small Type"), "<none>");
}
