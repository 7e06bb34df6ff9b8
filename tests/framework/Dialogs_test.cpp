#include <gtest/gtest.h>

#include "framework/Dialogs.h"
#include "framework/UserHooks.h"

namespace {

class TSampleDialog : public TDialog {
public:
  TSampleDialog() : TDialog(nullptr, 1) {
    Ok = Add<TButton>(idOkButton);
    Ok->ModalResult = mrOk;
    Interval = Add<TSpinEdit>(10, TSpinKind::skBounded, 0, 2000);
    Threshold = Add<TSpinEdit>(12, TSpinKind::skFree);
    Placement = Add<TComboBox>(14);
    Placement->Items = {"Tile", "Center"};
    List = Add<TListBox>(15);
  }
  TButton* Ok;
  TSpinEdit* Interval;
  TSpinEdit* Threshold;
  TComboBox* Placement;
  TListBox* List;
};

// Every test plays the user through the modal hook.
class DialogTest : public ::testing::Test {
protected:
  TSampleDialog Dialog;
};

}  // namespace

TEST_F(DialogTest, ModalHookPlaysTheUserAfterOnShow) {
  std::vector<std::string> order;
  Dialog.OnShow = TNotifyEvent([&](TObject*) { order.push_back("show"); });
  TUserHooksScope user({.Modal = [&](TDialog& dialog) {
    order.push_back("user");
    static_cast<TSampleDialog&>(dialog).Ok->Click();
    return dialog.ModalResult();
  }});
  EXPECT_EQ(Dialog.ShowModal(), mrOk);
  EXPECT_EQ(order, (std::vector<std::string>{"show", "user"}));
}

TEST_F(DialogTest, ButtonNotificationClicksIt) {
  int clicks = 0;
  Dialog.Ok->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  Dialog.Control(idOkButton)->Notify(bnClicked);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Dialog.ModalResult(), mrOk);
}

TEST_F(DialogTest, BoundedSpinClampsWhatIsSetAndStepped) {
  Dialog.Interval->SetValue(5000);
  EXPECT_EQ(Dialog.Interval->Text(), "2000");
  Dialog.Interval->SetValue(-3);
  EXPECT_EQ(Dialog.Interval->Text(), "0");
  Dialog.Interval->Step(-1);
  EXPECT_EQ(Dialog.Interval->Value(), 0);
  Dialog.Interval->Step(1);
  EXPECT_EQ(Dialog.Interval->Value(), 1);
}

TEST_F(DialogTest, BoundedSpinClampsATypedNumberWhenTheFocusLeaves) {
  Dialog.Interval->SetText("5000");
  EXPECT_EQ(Dialog.Interval->Value(), 5000);  // reading does not clamp
  Dialog.Interval->Notify(enKillFocus);
  EXPECT_EQ(Dialog.Interval->Text(), "2000");
  Dialog.Interval->SetText("99999999999");
  Dialog.Interval->CheckValue();
  EXPECT_EQ(Dialog.Interval->Text(), "2000");
}

TEST_F(DialogTest, BoundedSpinReadsTextThatIsNoNumberAsZero) {
  Dialog.Interval->SetText("ten");
  Dialog.Interval->CheckValue();
  EXPECT_EQ(Dialog.Interval->Text(), "ten");
  EXPECT_EQ(Dialog.Interval->Value(), 0);
  EXPECT_EQ(Dialog.Interval->Text(), "0");
}

TEST_F(DialogTest, FreeSpinHasNoBoundsAndSaturates) {
  Dialog.Threshold->SetText("-5");
  EXPECT_EQ(Dialog.Threshold->Value(), -5);
  Dialog.Threshold->SetText("99999999999");
  EXPECT_EQ(Dialog.Threshold->Value(), 2147483647);
  Dialog.Threshold->Step(1);
  EXPECT_EQ(Dialog.Threshold->Text(), "2147483647");
  Dialog.Threshold->SetText("-99999999999");
  EXPECT_EQ(Dialog.Threshold->Value(), -2147483647 - 1);
  Dialog.Threshold->SetText("12.7");
  EXPECT_EQ(Dialog.Threshold->Value(), 12);
}

TEST_F(DialogTest, FreeSpinReadsAMinusSignAsZeroAndKeepsIt) {
  Dialog.Threshold->SetText("-");
  EXPECT_EQ(Dialog.Threshold->Value(), 0);
  EXPECT_EQ(Dialog.Threshold->Text(), "-");
}

TEST_F(DialogTest, FreeSpinTakesDigitsSignsAndControlKeysOnly) {
  for (char c : std::string("0123456789+-\b\x03\x16")) EXPECT_TRUE(Dialog.Threshold->KeyAllowed(uint8_t(c))) << int(c);
  for (char c : std::string("a .,e")) EXPECT_FALSE(Dialog.Threshold->KeyAllowed(uint8_t(c))) << c;
  EXPECT_TRUE(Dialog.Interval->KeyAllowed('a'));
}

TEST_F(DialogTest, ComboBoxOutsideItsItemsChoosesNothing) {
  Dialog.Placement->SetItemIndex(1);
  EXPECT_EQ(Dialog.Placement->ItemIndex(), 1);
  Dialog.Placement->SetItemIndex(7);
  EXPECT_EQ(Dialog.Placement->ItemIndex(), -1);
}

TEST_F(DialogTest, ListBoxNotifiesSelectionAndDoubleClick) {
  std::vector<std::string> events;
  Dialog.List->OnClick = TNotifyEvent([&](TObject*) { events.push_back("click"); });
  Dialog.List->OnDblClick = TNotifyEvent([&](TObject*) { events.push_back("double"); });
  Dialog.List->Notify(lbnSelChange);
  Dialog.List->Notify(lbnDblClk);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "double"}));
  EXPECT_EQ(Dialog.List->ItemIndex(), -1);
}

TEST(SpinTextValue, SignedWholeNumbersOnly) {
  int32_t value = 0;
  EXPECT_TRUE(SpinTextValue("+12", false, value));
  EXPECT_EQ(value, 12);
  EXPECT_FALSE(SpinTextValue("", false, value));
  EXPECT_FALSE(SpinTextValue("1 2", false, value));
  EXPECT_FALSE(SpinTextValue("1.5", false, value));
  EXPECT_TRUE(SpinTextValue("-1.5", true, value));
  EXPECT_EQ(value, -1);
}
