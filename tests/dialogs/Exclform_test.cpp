#include <gtest/gtest.h>

#include "SettingsSandbox.h"
#include "app/Exclusions.h"
#include "app/Settings.h"
#include "dialogs/Exclform.h"
#include "framework/Application.h"
#include "framework/UserHooks.h"

namespace {

std::vector<std::string> Excluded() { return ReadExclusions(*OpenSettings()); }

}  // namespace

// The user is played through the modal hook.
TEST(Exclform_EditExclusions, ListsSortedAndOkShowsTheRemovedAgain) {
  TSettingsSandbox sandbox;
  for (const char* path : {"D:\\b.jpg", "C:\\c.jpg", "d:\\A.jpg"}) Exclude(*OpenSettings(), path);
  std::vector<std::string> listed;
  for (const int result : {mrCancel, mrOk}) {
    TUserHooksScope user({.Modal = [&](TDialog& dialog) {
      auto& form = static_cast<TExcludedForm&>(dialog);
      listed.assign({form.ExcludedList->Items[0], form.ExcludedList->Items[1], form.ExcludedList->Items[2]});
      form.ExcludedList->SetItemIndex(1);
      form.RemoveButton->Click();
      form.RemoveButton->Click();  // the next one is selected
      return result;
    }});
    TComponent owner(nullptr);
    EditExclusions(owner);
    EXPECT_EQ(listed, (std::vector<std::string>{"C:\\c.jpg", "d:\\A.jpg", "D:\\b.jpg"}));
  }
  EXPECT_EQ(Excluded(), std::vector<std::string>{"C:\\c.jpg"});
}
