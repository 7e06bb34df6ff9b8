#include <gtest/gtest.h>
#include <unistd.h>

#include "TempDir.h"
#include "app/Finddirs2.h"

// Only here can a test make links without special rights.
TEST(FindDirs_Run, LinkCycleIsEnteredOnceAndHiddenNamesAreSkipped) {
  TTempDir dir;
  dir.Write("a/x.jpg");
  dir.Write(".hidden/y.jpg");
  dir.Write(".z.jpg");
  ASSERT_EQ(symlink("..", dir.Join("a/up").c_str()), 0);
  ASSERT_EQ(symlink(dir.Join("a").c_str(), dir.Join("again").c_str()), 0);
  TFindDirsList finder(nullptr, dir.Path() + "\\*.jpg");
  finder.Run();
  ASSERT_EQ(finder.FileList().Count(), 1);
  EXPECT_TRUE(finder.FileList()[0].ends_with("\\x.jpg"));  // through a or again, as listed
  EXPECT_EQ(finder.DirList().Count(), 2);
}
