#include <gtest/gtest.h>
#include <windows.h>

#include "TempDir.h"
#include "app/Finddirs2.h"
#include "framework/Wide.h"

namespace {

void AddAttributes(const std::string& path, DWORD attributes) {
  const std::wstring wide = Utf8ToWide(path);
  SetFileAttributesW(wide.c_str(), GetFileAttributesW(wide.c_str()) | attributes);
}

}  // namespace

TEST(FindDirs_Run, WindowsAttributesDecideWhatIsSeenAndEntered) {
  TTempDir dir;
  dir.Write("Customised/in.jpg");  // read-only folders are folders too
  dir.Write("Hidden/no.jpg");
  dir.Write("system.jpg");
  dir.Write("Ünïcødé/ja.jpg");
  AddAttributes(dir.Join("Customised"), FILE_ATTRIBUTE_READONLY);
  AddAttributes(dir.Join("Hidden"), FILE_ATTRIBUTE_HIDDEN);
  AddAttributes(dir.Join("system.jpg"), FILE_ATTRIBUTE_SYSTEM);
  TFindDirsList finder(nullptr, dir.Path() + "\\*.jpg");
  finder.Run();
  const std::string base = dir.Path() + "\\";
  ASSERT_EQ(finder.FileList().Count(), 2);
  EXPECT_EQ(finder.FileList()[0], base + "Customised\\in.jpg");
  EXPECT_EQ(finder.FileList()[1], base + "Ünïcødé\\ja.jpg");
  SetFileAttributesW(Utf8ToWide(dir.Join("Customised")).c_str(), FILE_ATTRIBUTE_DIRECTORY);  // so it can be removed
}
