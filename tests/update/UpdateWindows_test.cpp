// The windows the update checker builds, and what its progress window says.

#include "update/UpdateWindows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/Application.h"
#include "net/Httpprot.h"

TEST(UpdateWindows_GroupedDigits, CommaBetweenGroupsOfThree) {
  EXPECT_EQ(GroupedDigits(0), "0");
  EXPECT_EQ(GroupedDigits(999), "999");
  EXPECT_EQ(GroupedDigits(1000), "1,000");
  EXPECT_EQ(GroupedDigits(1234567), "1,234,567");
  EXPECT_EQ(GroupedDigits(-1234), "-1,234");
  EXPECT_EQ(GroupedDigits(std::numeric_limits<int64_t>::max()), "9,223,372,036,854,775,807");
}

TEST(UpdateWindows_ProgressText, WithAndWithoutAKnownSize) {
  EXPECT_EQ(ProgressText(1234567, 2000000), "1,234,567 of 2,000,000 bytes received.");
  EXPECT_EQ(ProgressText(1234, 0), "1,234 bytes received.");
  EXPECT_EQ(ProgressText(1234, -1), "1,234 bytes received.");
}

TEST(UpdateWindows_ProgressPercent, WholePercentNeverOverflowingNorDividingByZero) {
  EXPECT_EQ(ProgressPercent(1234567, 2000000), 61);
  EXPECT_EQ(ProgressPercent(2000000, 2000000), 100);
  EXPECT_EQ(ProgressPercent(5, 0), 0);
  EXPECT_EQ(ProgressPercent(0, 10), 0);
  EXPECT_EQ(ProgressPercent(int64_t{1} << 62, (int64_t{1} << 62) + 1), 99);
  EXPECT_EQ(ProgressPercent(30, 10), 100);
}

TEST(UpdateWindows_ShowProgress, BarNeverMovesBackAndStopsOnceCancelled) {
  TApplication application;
  THttpCli client(nullptr);
  TWebDlProgress progress(nullptr, TFont(), client);
  progress.ShowProgress(1234567, 2000000);
  EXPECT_EQ(progress.lblProgress->Text(), "1,234,567 of 2,000,000 bytes received.");
  EXPECT_EQ(progress.pbarProgress->Position(), 61);
  progress.ShowProgress(1000, 0);  // a size no longer known
  EXPECT_EQ(progress.lblProgress->Text(), "1,000 bytes received.");
  EXPECT_EQ(progress.pbarProgress->Position(), 61);
  progress.btnCancel->Click();
  EXPECT_TRUE(progress.Cancelled());
  progress.ShowProgress(2000000, 2000000);
  EXPECT_EQ(progress.pbarProgress->Position(), 61);
}

TEST(UpdateWindows_Create, CaptionsAndTexts) {
  TApplication application;
  THttpCli client(nullptr);
  const TWebDlProgress progress(nullptr, TFont(), client);
  EXPECT_EQ(progress.pbarProgress->Min, 0);
  EXPECT_EQ(progress.pbarProgress->Max, 100);
  EXPECT_EQ(progress.lblProgress->Text(), "");
  EXPECT_EQ(progress.btnCancel->Id(), idCancelButton);
  const TPleaseWaitForm wait(nullptr, "Checking For Update...", TFont());
  EXPECT_EQ(wait.Label1->Text(), "Checking For Update...");
  const TReadMeForm readMe(nullptr, "one\ntwo\rthree\r\n\nfive", TFont());
  EXPECT_EQ(readMe.Memo1->Text(), "one\r\ntwo\r\nthree\r\n\r\nfive");
  EXPECT_EQ(readMe.Button1->ModalResult, mrOk);
}
