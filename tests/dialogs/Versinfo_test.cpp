// The version information reader on files of this system.

#include "dialogs/Versinfo.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "framework/Files.h"

TEST(VersionInfo_GetVersionInfo, EmptyAppPathBecomesTheRunningExecutable) {
  TVersionInfo info(nullptr);
  info.GetVersionInfo(3);
  EXPECT_EQ(info.AppPath, RunningExecutableName());
  EXPECT_TRUE(FileExists(info.AppPath)) << info.AppPath;
}

TEST(VersionInfo_GetVersionInfo, IndexOutsideTheTableGivesEmpty) {
  TVersionInfo info(nullptr);
  EXPECT_EQ(info.GetVersionInfo(-1), "");
  EXPECT_EQ(info.GetVersionInfo(11), "");
}

TEST(VersionInfo_GetVersionInfo, FileWithoutVersionInformationGivesEmptyStrings) {
  TTempDir dir;
  dir.Write("plain.exe", "MZ, but nothing more");
  TVersionInfo info(nullptr);
  info.AppPath = dir.Join("plain.exe");
  for (int index = 0; index <= 10; ++index) EXPECT_EQ(info.GetVersionInfo(index), "") << index;
  info.AppPath = dir.Join("no such file.exe");
  EXPECT_EQ(info.GetVersionInfo(3), "");
}
