// The version information reader on the running test program, which carries
// the program's version resource.

#include <gtest/gtest.h>

#include "dialogs/VersionResource.h"
#include "dialogs/Versinfo.h"

TEST(VersionInfo_GetVersionInfo, RunningProgramGivesItsEntries) {
  TVersionInfo info(nullptr);
  EXPECT_EQ(info.GetVersionInfo(8), "Kaleidon");
  EXPECT_EQ(info.GetVersionInfo(3), KALEIDON_FILE_VERSION);
  EXPECT_EQ(info.GetVersionInfo(9), KALEIDON_FILE_VERSION);
  EXPECT_EQ(info.GetVersionInfo(1), "Trellwick");
  EXPECT_EQ(info.GetVersionInfo(6), "Kaleidon.exe");
  EXPECT_TRUE(info.GetVersionInfo(5).starts_with("Copyright")) << info.GetVersionInfo(5);
  EXPECT_NE(info.GetVersionInfo(0), "");
  EXPECT_EQ(info.GetVersionInfo(7), "");
  EXPECT_EQ(info.GetVersionInfo(10), "");
}

TEST(VersionInfo_GetVersionInfo, OnlyTheFixedBlockIsRead) {
  const std::vector<uint8_t> data = ReadVersionData(RunningExecutableName());
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(FindVersionString(data, "100904E4", "ProductName"), "Kaleidon");
  EXPECT_EQ(FindVersionString(data, "040904E4", "ProductName"), "");
}
