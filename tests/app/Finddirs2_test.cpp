#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/Finddirs2.h"

namespace {

// The program's delimiter: paths it builds always use backslashes.
constexpr char Sep = '\\';

struct TRecorder : TObject {
  std::vector<std::string> Files, Dirs, Invalid;
  void File(TObject*, const std::string& path) { Files.push_back(path); }
  void Dir(TObject*, const std::string& path) { Dirs.push_back(path); }
  void Bad(TObject*, const std::string& path) { Invalid.push_back(path); }
};

struct TSearch {
  explicit TSearch(const std::string& start) : Finder(nullptr, start) {
    Finder.OnFoundFile = TStringEvent(&Recorder, &TRecorder::File);
    Finder.OnFoundDirf = TStringEvent(&Recorder, &TRecorder::Dir);
    Finder.OnInvalidString = TStringEvent(&Recorder, &TRecorder::Bad);
    Finder.Run();
  }
  TRecorder Recorder;
  TFindDirs Finder;
};

std::vector<std::string> Sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
}

}  // namespace

TEST(FindDirs_SetStartString, SplitsDirectoryAndExtension) {
  TFindDirs finder(nullptr, "C:\\Pics.old\\Summer\\*.jpg");
  EXPECT_EQ(finder.SearchPath(), "C:\\Pics.old\\Summer\\");
  EXPECT_EQ(finder.SearchExt(), ".jpg");
  finder.SetStartString("D:*.*");
  EXPECT_EQ(finder.SearchPath(), "D:");
  EXPECT_EQ(finder.SearchExt(), ".*");
}

TEST(FindDirs_Run, ReportsFilesWithTheExtensionIgnoringCase) {
  TTempDir dir;
  for (const char* name : {"x.JPG", "y.jpg", "z.jpeg", "w.jpg.txt", "nodot"}) dir.Write(name);
  TSearch search(dir.Path() + Sep + "*.jpg");
  const std::string base = dir.Path() + Sep;
  EXPECT_EQ(Sorted(search.Recorder.Files), Sorted({base + "x.JPG", base + "y.jpg"}));
  EXPECT_EQ(search.Recorder.Dirs, std::vector<std::string>{base});
  EXPECT_TRUE(search.Recorder.Invalid.empty());
}

TEST(FindDirs_Run, StarDotStarFindsEveryFile) {
  TTempDir dir;
  for (const char* name : {"a.gif", "b", "sub/c.tif"}) dir.Write(name);
  TSearch search(dir.Path() + Sep + "*.*");
  EXPECT_EQ(search.Recorder.Files.size(), 3u);
}

TEST(FindDirs_Run, WalksBreadthFirst) {
  TTempDir dir;
  dir.Write("A/A1/deep.bmp");
  dir.Write("A/a.bmp");
  dir.Write("B/b.bmp");
  dir.Write("top.bmp");
  TSearch search(dir.Path() + Sep + "*.bmp");
  const std::string base = dir.Path() + Sep;
  const auto& dirs = search.Recorder.Dirs;
  ASSERT_EQ(dirs.size(), 4u);
  EXPECT_EQ(dirs[0], base);
  EXPECT_EQ(Sorted({dirs[1], dirs[2]}), Sorted({base + "A\\", base + "B\\"}));
  EXPECT_EQ(dirs[3], base + "A\\A1\\");
  EXPECT_EQ(search.Recorder.Files[0], base + "top.bmp");
  EXPECT_EQ(search.Recorder.Files[3], base + "A\\A1\\deep.bmp");
}

TEST(FindDirs_Run, MissingStartDirectoryIsReportedOnce) {
  TTempDir dir;
  TFindDirsList finder(nullptr, dir.Path() + Sep + "missing" + Sep + "*.jpg");
  std::vector<std::string> invalid;
  finder.OnInvalidString = TStringEvent([&](TObject*, const std::string& d) { invalid.push_back(d); });
  finder.Run();
  EXPECT_EQ(invalid, std::vector<std::string>{dir.Path() + Sep + "missing" + Sep});
  EXPECT_EQ(finder.FileList().Count(), 0);
  EXPECT_EQ(finder.DirList().Count(), 0);
}

TEST(FindDirs_Run, EmptyStartDirectoryIsSearchable) {
  TTempDir dir;
  TSearch search(dir.Path() + Sep + "*.jpg");
  EXPECT_TRUE(search.Recorder.Invalid.empty());
  EXPECT_EQ(search.Recorder.Dirs.size(), 1u);
}

TEST(FindDirs_Run, DoubledBackslashIsKeptInEveryPath) {
  TTempDir dir;
  dir.Write("sub/p.pcx");
  TSearch search(dir.Path() + Sep + Sep + "*.pcx");
  ASSERT_EQ(search.Recorder.Files.size(), 1u);
  EXPECT_EQ(search.Recorder.Files[0], dir.Path() + "\\\\sub\\p.pcx");
}

TEST(FindDirsList_Run, ListsGatherAcrossRuns) {
  TTempDir dir;
  dir.Write("a.gif");
  dir.Write("s/b.tif");
  TFindDirsList finder(nullptr, dir.Path() + Sep + "*.gif");
  finder.Run();
  finder.SetStartString(dir.Path() + Sep + "*.tif");
  finder.Run();
  EXPECT_EQ(finder.FileList().Count(), 2);
  EXPECT_EQ(finder.DirList().Count(), 2);  // the same two directories both times
}
