#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "FakeDesktop.h"
#include "SettingsSandbox.h"
#include "TempDir.h"
#include "app/Mainform.h"
#include "imaging/PictureKinds.h"
#include "app/Traymenu.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/MessageBox.h"
#include "framework/RegIniFile.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "framework/UserHooks.h"
#include "imaging/BmpCodec.h"
#include "imaging/ReadLimits.h"

namespace {

std::string DesktopValue(const std::string& name) { return TFakeDesktop::DesktopValue(name); }

// Counts the commands that would open dialogs, and plays the options dialog.
class TFakeDialogs : public TDialogCommands {
public:
  void Configure(TForm1& controller) override {
    ++Configured;
    if (OnConfigure) OnConfigure(controller);
  }
  void WallpaperList(TForm1&) override { ++Listed; }
  void About(TForm1&) override { ++Abouts; }

  int Configured = 0;
  int Listed = 0;
  int Abouts = 0;
  std::function<void(TForm1&)> OnConfigure;
};

std::vector<std::string> Captions(const TPopupMenu& menu) {
  std::vector<std::string> captions;
  for (int i = 0; i < menu.Count(); ++i) captions.push_back(menu.Items(i)->Caption);
  return captions;
}

int Position(const TPopupMenu& menu, const std::string& caption) {
  const std::vector<std::string> captions = Captions(menu);
  return int(std::find(captions.begin(), captions.end(), caption) - captions.begin());
}

std::string BmpOfSize(int width, int height) {
  TBitmap bitmap(width, height);
  const std::vector<uint8_t> bytes = WriteBitmapStream(bitmap);
  return std::string(bytes.begin(), bytes.end());
}

std::string BmpOfColour(int width, int height, TColor colour) {
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = uint8_t(colour >> 16), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour);
    }
  const std::vector<uint8_t> bytes = WriteBitmapStream(bitmap);
  return std::string(bytes.begin(), bytes.end());
}

// The colour of a pixel of a saved bitmap (two-colour ones are saved with 1 bit).
TColor SavedPixel(const std::string& bitmapPath, int x, int y) {
  const std::vector<uint8_t> file = ReadWholeFile(bitmapPath);
  TByteSource source(file);
  const auto bitmap = ReadBitmapStream(source, TReadLimits());
  if (bitmap->PixelFormat() == TPixelFormat::pf1bit)
    return ColorOf(bitmap->Palette.at((bitmap->ScanLine(y)[x / 8] >> (7 - x % 8)) & 1));
  const uint8_t* p = bitmap->ScanLine(y) + 3 * x;
  return TColor(p[2]) | TColor(p[1]) << 8 | TColor(p[0]) << 16;
}

struct TSavedSize {
  int32_t Width, Height;
  bool operator==(const TSavedSize&) const = default;
};

TSavedSize SavedSize(const std::string& bitmapPath) {
  const std::vector<uint8_t> file = ReadWholeFile(bitmapPath);
  auto at = [&](size_t offset) {
    return int32_t(file.at(offset) | file.at(offset + 1) << 8 | file.at(offset + 2) << 16 | file.at(offset + 3) << 24);
  };
  return {at(18), at(22)};
}

class MainformTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application = &FApplication;
    FApplication.Title = "Kaleidon";
    StoreSetting("WPLocation", Pictures.Path());
    Windows.MakeDir("win");
    TRegistry desktop;
    desktop.OpenKey("Control Panel\\desktop");
    desktop.WriteString("TileWallpaper", "old");
    desktop.WriteString("WallpaperStyle", "10");
    desktop.WriteString("Wallpaper", "old");
  }

  std::unique_ptr<TForm1> Start() { return std::make_unique<TForm1>(nullptr, Desktop, Dialogs); }
  // Catalogue paths as the program builds them: base directory, backslash, name.
  std::string Picture(const std::string& name) { return Pictures.Path() + "\\" + name; }
  std::string BitmapPath() const { return Windows.Join("win") + "\\Trellwick\\Kaleidon\\Kaleidon.bmp"; }
  std::vector<std::string> Catalogue(const TForm1& form) {
    std::vector<std::string> names;
    for (int i = 0; i < form.WallpaperList().Count(); ++i) names.push_back(ExtractName(form.WallpaperList()[i]));
    return names;
  }
  static std::string ExtractName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

  TSettingsSandbox Sandbox;
  TUserHooksScope NoMenu{{.Popup = [](TPopupMenu&) -> TMenuItem* { return nullptr; }}};
  TApplication FApplication;
  TTempDir Pictures;
  TTempDir Windows;
  TFakeDesktop Desktop{Windows.Join("win") + "\\"};
  TFakeDialogs Dialogs;
};

}  // namespace

TEST_F(MainformTest, FirstRunUsesTheDefaults) {
  TRegIniFile("Software\\Trellwick\\Kaleidon").WriteString("Other", "x", "");  // no Settings values at all
  StoreSetting("WPLocation", "");
  auto form = Start();
  EXPECT_EQ(form->MinutesLeft(), 0);
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_EQ(form->CurrentWallpaper(), "");
  EXPECT_TRUE(Desktop.Log.empty());
}

TEST_F(MainformTest, MissingBaseDirectoryDefaultsToTheProgramsOwn) {
  TSettingsSandbox fresh;
  auto form = Start();
  EXPECT_EQ(form->BaseDir(), ExecutableDirectory());
}

TEST_F(MainformTest, CatalogueHoldsThePatternsSortedIgnoringCase) {
  for (const char* name :
       {"a.JPG", "b.jpeg", "c.jpe", "d.tif", "e.tiff", "f.GIF", "g.bmp", "h.Pcx", "i.png", "j.WebP", "k.psd"})
    Pictures.Write(name);
  auto form = Start();
  form->BuildWallpaperList();
  EXPECT_EQ(Catalogue(*form), (std::vector<std::string>{"a.JPG", "b.jpeg", "c.jpe", "d.tif", "f.GIF", "g.bmp", "h.Pcx",
                                                        "i.png", "j.WebP"}));
  StoreSetting("JPEG", "0");
  StoreSetting("PCX", "word");  // not a number: the default, included
  StoreSetting("WEBP", "0");
  form->BuildWallpaperList();
  EXPECT_EQ(Catalogue(*form), (std::vector<std::string>{"d.tif", "f.GIF", "g.bmp", "h.Pcx", "i.png"}));
}

TEST_F(MainformTest, InvalidBaseDirectoryIsReportedOncePerBuild) {
  const std::string missing = Pictures.Join("gone");
  StoreSetting("WPLocation", missing);
  StoreSetting("GIF", "0");
  auto form = Start();
  form->BuildWallpaperList();
  ASSERT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Sandbox.Messages[0].Text, "Invalid Wallpaper Directory:\n" + missing + "\\");
  EXPECT_EQ(Sandbox.Messages[0].Caption, "Kaleidon");
  EXPECT_EQ(Dialogs.Configured, 1);
  EXPECT_EQ(form->WallpaperList().Count(), 0);
}

TEST_F(MainformTest, DirectoryChosenInTheReportsDialogIsSearched) {
  Pictures.Write("a.bmp");
  StoreSetting("WPLocation", Pictures.Join("gone"));
  Dialogs.OnConfigure = [&](TForm1& controller) { controller.SetBaseDir(Pictures.Path()); };
  auto form = Start();
  form->BuildWallpaperList();
  EXPECT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Catalogue(*form), std::vector<std::string>{"a.bmp"});
}

TEST_F(MainformTest, BuildDuringTheReportReportsNothingAndTimedChangesWait) {
  Pictures.Write("a.bmp", BmpOfSize(4, 3));
  StoreSetting("WPLocation", Pictures.Join("gone"));
  auto form = Start();
  form->SetChangeTimer(1);
  Dialogs.OnConfigure = [&](TForm1& controller) {
    controller.BuildWallpaperList();
    controller.Timer1Timer(nullptr);
    controller.Timer1Timer(nullptr);
  };
  form->BuildWallpaperList();
  EXPECT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Configured, 1);
  EXPECT_EQ(form->MinutesLeft(), 1);
  EXPECT_TRUE(Desktop.Log.empty());
}

TEST_F(MainformTest, EmptyOrRelativeBaseDirectoryIsReportedUnsearched) {
  for (const char* location : {"", "Pictures"}) {
    StoreSetting("WPLocation", location);
    Sandbox.Messages.clear();
    auto form = Start();
    form->BuildWallpaperList();
    ASSERT_EQ(Sandbox.Messages.size(), 1u) << location;
    EXPECT_EQ(Sandbox.Messages[0].Text, std::string("Invalid Wallpaper Directory:\n") + location + "\\");
  }
}

TEST_F(MainformTest, OneWalkGivesWhatOneWalkPerPatternGives) {
  for (const char* name : {"x.jpg", "X.JPG", "sub/x.jpg", "Sub/X.Jpg", "b.JPEG", "b.jpe", "c.tif", "c.TIFF", "d.gif",
                           "e.bmp", "f.pcx", "g.png", "deep/er/h.Pcx", "deep/er/H.pcx", "deep/I.BMP", "j.jpeg"})
    Pictures.Write(name);
  StoreSetting("GIF", "0");
  auto form = Start();
  form->BuildWallpaperList();
  TStringList expected;
  expected.Duplicates = TDuplicates::dupIgnore;
  expected.SetSorted(true);
  TFindDirsList finder(nullptr, "");
  for (const TPictureKind& kind : PictureKinds()) {
    if (!kind.Catalogued || kind.Format == TPictureFormat::Gif) continue;
    finder.FileList().Clear();
    finder.SetStartString(Pictures.Path() + "\\*" + kind.Extension);
    finder.Run();
    expected.AddStrings(finder.FileList());
  }
  ASSERT_EQ(form->WallpaperList().Count(), expected.Count());
  for (int i = 0; i < expected.Count(); ++i) EXPECT_EQ(form->WallpaperList()[i], expected[i]);
  EXPECT_EQ(expected.Count(), 11);
}

TEST_F(MainformTest, HintNamesTheWallpaperAndTheMinutesLeft) {
  auto form = Start();
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: ");
  Pictures.Write("sub/sunset.bmp", BmpOfSize(4, 3));
  form->SetWallpaper(Picture("sub\\sunset.bmp"));
  form->SetChangeTimer(12);
  form->UpdateTrayHint();
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: sunset.bmp; Time: 12 Min");
  form->SetChangeTimer(-3);
  form->UpdateTrayHint();
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: sunset.bmp; Time: -3 Min");
}

TEST_F(MainformTest, MenuListsTheCatalogueAfterTheCommands) {
  for (const char* name : {"b.bmp", "a&b.jpg", "sub/b.bmp"}) Pictures.Write(name);
  auto form = Start();
  form->BuildPopupMenu();
  EXPECT_EQ(Captions(*form->PopupMenu1),
            (std::vector<std::string>{"Chage Paper", "Configure Kaleidon", "Wallpaper List", "About Kaleidon", "-",
                                      "Previous Wallpaper", "Pause Changes", "Never Show This Again",
                                      "Open File Location", "-", "a&b.jpg", "b.bmp", "b.bmp", "-", "Exit"}));
  EXPECT_TRUE(form->PopupMenu1->Items(0)->Default);
  EXPECT_EQ(form->PopupMenu1->Items(12)->Tag, 2);
  EXPECT_EQ(form->PopupMenu1->Items(12)->Hint, Picture("sub\\b.bmp"));
  EXPECT_EQ(form->Exit1, form->PopupMenu1->Items(14));
}

TEST_F(MainformTest, MenuWithoutTheCatalogueOrWithAnEmptyOne) {
  auto form = Start();
  form->BuildPopupMenu();
  EXPECT_EQ(Captions(*form->PopupMenu1).size(), 12u);
  EXPECT_EQ(form->PopupMenu1->Items(10)->Caption, "-");
  StoreSetting("Display Papers", "0");
  StoreSetting("WPLocation", Pictures.Join("gone"));
  form->BuildPopupMenu();
  EXPECT_EQ(Captions(*form->PopupMenu1).back(), "Exit");
  EXPECT_EQ(Captions(*form->PopupMenu1).size(), 11u);
  EXPECT_TRUE(Sandbox.Messages.empty());
}

TEST_F(MainformTest, MenuStillEndsWithExitWhenTheCatalogueFails) {
  StoreSetting("WPLocation", Pictures.Join("gone"));
  Dialogs.OnConfigure = [](TForm1&) { throw Exception("the dialog failed"); };
  auto form = Start();
  form->BuildPopupMenu();
  const std::vector<std::string> captions = Captions(*form->PopupMenu1);
  EXPECT_EQ(std::vector<std::string>(captions.begin() + 9, captions.end()),
            (std::vector<std::string>{"-", "-", "Exit"}));
  ASSERT_EQ(Sandbox.Messages.size(), 2u);
  EXPECT_EQ(Sandbox.Messages[1].Text, "the dialog failed");
}

TEST_F(MainformTest, MenuColumnsBreakEveryScreenfulOfRows) {
  for (int i = 0; i < 60; ++i) Pictures.Write(Format("p%02d.bmp", i));
  auto form = Start();
  form->BuildPopupMenu();  // 768 / 19: 40 rows
  const TPopupMenu& menu = *form->PopupMenu1;
  for (int p = 10; p < menu.Count() - 2; ++p) EXPECT_EQ(menu.Items(p)->Break == TMenuBreak::mbBarBreak, p == 40) << p;
  EXPECT_EQ(menu.Items(40)->Caption, "p30.bmp");
  Desktop.LineHeight = 0;  // at least one row, no division by zero: each item a column
  form->BuildPopupMenu();
  EXPECT_EQ(form->PopupMenu1->Items(10)->Break, TMenuBreak::mbBarBreak);
  EXPECT_EQ(form->PopupMenu1->Items(form->PopupMenu1->Count() - 2)->Caption, "More...");
}

TEST_F(MainformTest, TrailingItemsBeginAColumnWhenTheLastIsFull) {
  for (int i = 0; i < 29; ++i) Pictures.Write(Format("p%02d.bmp", i));
  auto form = Start();
  form->BuildPopupMenu();  // 40 rows: entries at 10 to 38, the separator at 39
  const TPopupMenu& menu = *form->PopupMenu1;
  ASSERT_EQ(menu.Count(), 41);
  EXPECT_EQ(menu.Items(39)->Caption, "-");
  EXPECT_EQ(menu.Items(40)->Caption, "Exit");
  EXPECT_EQ(menu.Items(40)->Break, TMenuBreak::mbBarBreak);
}

TEST_F(MainformTest, MenuTooLargeForTheScreenEndsWithMore) {
  for (int i = 0; i < 400; ++i) Pictures.Write(Format("picture %04d.bmp", i));
  auto form = Start();
  form->BuildPopupMenu();  // items 160 wide, the first column 210, on a 1024-pixel screen: 6 columns
  const TPopupMenu& menu = *form->PopupMenu1;
  const int listed = menu.Count() - 12;
  EXPECT_EQ(listed, 6 * 40 - 12);
  EXPECT_EQ(menu.Items(menu.Count() - 2)->Caption, "More...");
  EXPECT_EQ(menu.Items(menu.Count() - 3)->Caption, Format("picture %04d.bmp", listed - 1));
  Dialogs.Listed = 0;
  menu.Items(menu.Count() - 2)->Click();
  EXPECT_EQ(Dialogs.Listed, 1);
}

TEST_F(MainformTest, MenuItemAppliesTheFileItShowsAfterTheCatalogueChanged) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) Pictures.Write(name, BmpOfSize(4, 3));
  auto form = Start();
  form->BuildPopupMenu();
  TMenuItem* b = form->PopupMenu1->Items(11);
  RemoveFile(Picture("a.bmp"));
  form->BuildWallpaperList();
  b->Click();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("b.bmp"));
}

TEST_F(MainformTest, TrayDoubleClickChangesThroughTheDefaultItem) {
  Pictures.Write("a.bmp", BmpOfSize(4, 3));
  StoreSetting("Random Paper", "0");
  auto form = Start();
  form->TrayIcon1->MouseMessage(0x0203);
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: a.bmp");
}

TEST_F(MainformTest, TrayRightClickRebuildsTheMenuAndClicksTheChoice) {
  Pictures.Write("a.bmp");
  TUserHooksScope separator({.Popup = [](TPopupMenu& menu) { return menu.Items(4); }});  // nothing
  auto form = Start();
  form->TrayIcon1->MouseMessage(0x0205);  // an up without its down is no click
  EXPECT_EQ(form->PopupMenu1->Count(), 11);
  form->TrayIcon1->MouseMessage(0x0204);
  form->TrayIcon1->MouseMessage(0x0205);
  EXPECT_EQ(Captions(*form->PopupMenu1)[10], "a.bmp");
  TUserHooksScope configure({.Popup = [](TPopupMenu& menu) { return menu.Items(1); }});
  form->TrayIcon1->MouseMessage(0x0204);
  form->TrayIcon1->MouseMessage(0x0205);
  EXPECT_EQ(Dialogs.Configured, 1);
}

TEST_F(MainformTest, CommandsGoThroughTheDialogs) {
  auto form = Start();
  form->ConfigureKaleidon1->Click();
  form->WallpaperList2->Click();
  form->AboutKaleidon1->Click();
  EXPECT_EQ(Dialogs.Configured, 1);
  EXPECT_EQ(Dialogs.Listed, 1);
  EXPECT_EQ(Dialogs.Abouts, 1);
}

TEST_F(MainformTest, ScrollingMenusFollowTheSystemsVersion) {
  auto form = Start();
  EXPECT_EQ(form->ScrollingMenus(),
            ScrollingMenusFor(form->SysInfo1->OSMajorVersionNumber(), form->SysInfo1->OSMinorVersionNumber()));
}

TEST_F(MainformTest, InOrderChoiceWrapsAndStartsOverWhenCurrentIsGone) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) Pictures.Write(name, BmpOfSize(4, 3));
  StoreSetting("Random Paper", "0");
  StoreSetting("Wallpaper", Picture("c.bmp"));
  auto form = Start();
  form->ChangeWallpaper();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  form->ChangeWallpaper();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("b.bmp"));
  StoreSetting("Wallpaper", Picture("vanished.bmp"));
  auto again = Start();
  again->ChangeWallpaper();
  EXPECT_EQ(again->CurrentWallpaper(), Picture("a.bmp"));
  EXPECT_EQ(StoredSetting("Wallpaper"), Picture("a.bmp"));
}

// The wallpaper at start counts as shown: the first cycle is the other ten.
TEST_F(MainformTest, RandomOrderShowsTheOthersBeforeTheCurrentOneAgain) {
  for (int i = 0; i < 11; ++i) Pictures.Write("p" + std::to_string(10 + i) + ".bmp", BmpOfSize(2, 2));
  StoreSetting("Wallpaper", Picture("p13.bmp"));
  auto form = Start();
  std::set<std::string> shown;
  for (int i = 0; i < 10; ++i) {
    form->ChangeWallpaper();
    shown.insert(form->CurrentWallpaper());
  }
  EXPECT_EQ(shown.size(), 10u);
  EXPECT_FALSE(shown.count(Picture("p13.bmp")));
}

TEST_F(MainformTest, RandomChoiceWithOnlyTheCurrentWallpaperKeepsIt) {
  Pictures.Write("only.bmp", BmpOfSize(2, 2));
  StoreSetting("Wallpaper", Picture("only.bmp"));
  auto form = Start();
  form->ChangeWallpaper();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("only.bmp"));
  EXPECT_TRUE(Desktop.Log.empty());
}

TEST_F(MainformTest, EmptyCatalogueChangesNothing) {
  auto form = Start();
  form->ChangeWallpaper();
  EXPECT_TRUE(Desktop.Log.empty());
  EXPECT_TRUE(Sandbox.Messages.empty());
}

TEST_F(MainformTest, ChangePaperAtStartChangesOnceBeforeTheLoop) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  StoreSetting("Change Paper", "1");
  auto form = Start();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  EXPECT_EQ(Desktop.Log.size(), 2u);
}

TEST_F(MainformTest, CountdownChangesAtZeroAndReloadsTheStoredTime) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  Pictures.Write("b.bmp", BmpOfSize(2, 2));
  StoreSetting("Change Time", "5");
  StoreSetting("Random Paper", "0");
  auto form = Start();
  EXPECT_EQ(form->MinutesLeft(), 5);
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_EQ(form->Timer1->Interval(), 60000u);
  for (int i = 0; i < 4; ++i) form->Timer1->Tick();
  EXPECT_EQ(form->MinutesLeft(), 1);
  form->TrayIcon1DblClick(nullptr);  // a change by hand leaves the countdown alone
  EXPECT_EQ(form->MinutesLeft(), 1);
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  StoreSetting("Change Time", "3");
  form->Timer1->Tick();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("b.bmp"));
  EXPECT_EQ(form->MinutesLeft(), 3);
}

TEST_F(MainformTest, CountdownReloadingZeroKeepsTheTimerIdling) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  StoreSetting("Change Time", "1");
  auto form = Start();
  StoreSetting("Change Time", "0");
  form->Timer1->Tick();
  EXPECT_EQ(form->MinutesLeft(), 0);
  EXPECT_TRUE(form->Timer1->Enabled());
  const size_t calls = Desktop.Log.size();
  form->Timer1->Tick();
  EXPECT_EQ(Desktop.Log.size(), calls);
}

TEST_F(MainformTest, NegativeTimeCountsAwayFromZero) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  StoreSetting("Change Time", "-2");
  auto form = Start();
  EXPECT_TRUE(form->Timer1->Enabled());
  form->Timer1->Tick();
  form->Timer1->Tick();
  EXPECT_EQ(form->MinutesLeft(), -4);
  EXPECT_TRUE(Desktop.Log.empty());
  form->SetChangeTimer(0);
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_EQ(form->Timer1->Interval(), 0u);
  form->SetChangeTimer(INT32_MIN);
  form->Timer1->Tick();
  EXPECT_EQ(form->MinutesLeft(), INT32_MAX);
}

TEST_F(MainformTest, SetWallpaperWritesTheBitmapAndTheDesktopValuesInOrder) {
  Pictures.Write("sky.bmp", BmpOfSize(800, 600));
  auto form = Start();
  form->SetWallpaper(Picture("sky.bmp"));
  const std::string bitmap = BitmapPath();
  ASSERT_EQ(Desktop.Log.size(), 2u);
  EXPECT_EQ(Desktop.Log[0], "set " + bitmap + " style=0 tile=0 wallpaper=old");
  EXPECT_EQ(Desktop.Log[1], "broadcast wallpaper=" + bitmap);
  EXPECT_EQ(SavedSize(bitmap), (TSavedSize{1023, 767}));  // large by default, stretched proportionally
  EXPECT_EQ(form->CurrentWallpaper(), Picture("sky.bmp"));
  EXPECT_EQ(StoredSetting("Wallpaper"), Picture("sky.bmp"));
}

TEST_F(MainformTest, SizeClassesPickTheirPlacement) {
  StoreSetting("Small Width", "640");
  StoreSetting("Large Width", "1024");
  StoreSetting("Large Height", "5000");
  StoreSetting("Small Type", "0");
  StoreSetting("Middle Type", "1");
  StoreSetting("Large Type", "2");
  const struct {
    int Width;
    const char* Tile;
    TSavedSize Saved;
  } cases[] = {
      {638, "1", {638, 10}},     // measured 639 < 640: small, tiled at its own size
      {639, "0", {639, 10}},     // measured 640: middle, centred
      {1023, "0", {1023, 10}},   // measured 1024: still middle
      {1024, "0", {1023, 767}},  // measured 1025: large, stretched
  };
  auto form = Start();
  for (const auto& c : cases) {
    Pictures.Write("p.bmp", BmpOfSize(c.Width, 10));
    form->SetWallpaper(Picture("p.bmp"));
    EXPECT_EQ(DesktopValue("TileWallpaper"), c.Tile) << c.Width;
    EXPECT_EQ(DesktopValue("WallpaperStyle"), "0") << c.Width;
    EXPECT_EQ(SavedSize(BitmapPath()), c.Saved) << c.Width;
  }
}

TEST_F(MainformTest, UnknownPlacementWritesNoTileValueAndKeepsTheSize) {
  StoreSetting("Large Type", "7");
  Pictures.Write("p.bmp", BmpOfSize(30, 20));
  auto form = Start();
  form->SetWallpaper(Picture("p.bmp"));
  EXPECT_EQ(DesktopValue("TileWallpaper"), "old");
  EXPECT_EQ(DesktopValue("WallpaperStyle"), "10");
  EXPECT_EQ(SavedSize(BitmapPath()), (TSavedSize{30, 20}));
}

TEST_F(MainformTest, UndecodableFileChangesNothing) {
  Pictures.Write("bad.bmp", "BMnot a bitmap at all");
  StoreSetting("Wallpaper", "before");
  auto form = Start();
  EXPECT_ANY_THROW(form->SetWallpaper(Picture("bad.bmp")));
  EXPECT_TRUE(Desktop.Log.empty());
  EXPECT_EQ(form->CurrentWallpaper(), "before");
  EXPECT_EQ(DesktopValue("TileWallpaper"), "old");
  EXPECT_FALSE(FileExists(BitmapPath()));
}

TEST_F(MainformTest, FileWithoutAPictureEndsWithItsErrorAndChangesNothing) {
  Pictures.Write("sky.bmp", BmpOfSize(800, 600));
  // A GIF with a screen and a colour table but no image.
  Pictures.Write("empty.gif", std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + std::string(6, '\0') + ";");
  auto form = Start();
  form->SetWallpaper(Picture("sky.bmp"));
  TRegistry desktop;
  desktop.OpenKey("Control Panel\\desktop");
  desktop.WriteString("TileWallpaper", "before");
  const std::vector<uint8_t> bitmap = ReadWholeFile(BitmapPath());
  Desktop.Log.clear();
  try {
    form->SetWallpaper(Picture("empty.gif"));
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "unrecognized GIF");
  }
  EXPECT_TRUE(Desktop.Log.empty());
  EXPECT_EQ(ReadWholeFile(BitmapPath()), bitmap);
  EXPECT_EQ(DesktopValue("TileWallpaper"), "before");
  EXPECT_EQ(DesktopValue("Wallpaper"), BitmapPath());
  EXPECT_EQ(StoredSetting("Wallpaper"), Picture("sky.bmp"));
  EXPECT_EQ(form->CurrentWallpaper(), Picture("sky.bmp"));
}

// Red; transparent; green at half alpha: over the desktop's 0x336699 the
// second is the desktop's colour, the third between.
TEST_F(MainformTest, TransparentPixelsShowTheDesktopsColour) {
  Pictures.Write("logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x03\0\0\0\x01\x08\x06\0\0\0\x1b\xe0"
                                         "\x14\xb4\0\0\0\x11IDAT\x78\xda\x63\xf8\xcf\xc0\0\x44\x0c\x20\xb2\x01\0"
                                         "\x18\x75\x03\x7e\x5f\x90\x75\x97\0\0\0\0IEND\xae\x42\x60\x82",
                                         74));
  StoreSetting("Large Type", "0");
  auto form = Start();
  form->SetWallpaper(Picture("logo.png"));
  const std::vector<uint8_t> bitmap = ReadWholeFile(BitmapPath());
  EXPECT_EQ(std::vector<uint8_t>(bitmap.begin() + 54, bitmap.begin() + 63),
            (std::vector<uint8_t>{0, 0, 255, 0x33, 0x66, 0x99, 25, 179, 76}));
}

// Black and white stretched: nearest-pixel keeps two colours (saved with 1
// bit), smooth resampling makes greys between them (24 bits).
TEST_F(MainformTest, SmoothResizeSettingChoosesTheResampling) {
  TBitmap stripes(2, 1);
  std::memset(stripes.ScanLine(0), 0, 3);
  const std::vector<uint8_t> bytes = WriteBitmapStream(stripes);
  Pictures.Write("stripes.bmp", std::string(bytes.begin(), bytes.end()));
  const struct {
    const char* Setting;
    int Bits;
  } cases[] = {{nullptr, 24}, {"1", 24}, {"0", 1}};
  auto form = Start();
  for (const auto& c : cases) {
    if (c.Setting) StoreSetting("Smooth Resize", c.Setting);
    form->SetWallpaper(Picture("stripes.bmp"));
    EXPECT_EQ(ReadWholeFile(BitmapPath()).at(28), c.Bits) << (c.Setting ? c.Setting : "absent");
  }
}

TEST_F(MainformTest, BitmapFolderIsMadeWhenMissing) {
  Pictures.Write("sky.bmp", BmpOfSize(8, 6));
  Desktop.Directory = Windows.Join("fresh-profile");
  auto form = Start();
  form->SetWallpaper(Picture("sky.bmp"));
  EXPECT_TRUE(FileExists(Desktop.Directory + "\\Trellwick\\Kaleidon\\Kaleidon.bmp"));
}

TEST_F(MainformTest, FailedSaveNamesTheReasonAndLeavesTheTileModeAsItWas) {
  Pictures.Write("sky.bmp", BmpOfSize(800, 600));
  Windows.Write("win/Trellwick/Kaleidon");  // a file where the folder should be
  auto form = Start();
  try {
    form->SetWallpaper(Picture("sky.bmp"));
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    const std::string prefix = "Cannot create file " + BitmapPath() + ". ";
    EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
    EXPECT_GT(std::string(e.what()).size(), prefix.size()) << "no reason given";
  }
  EXPECT_EQ(DesktopValue("TileWallpaper"), "old");
  EXPECT_EQ(DesktopValue("WallpaperStyle"), "10");
  EXPECT_EQ(DesktopValue("Wallpaper"), "old");
  EXPECT_TRUE(Desktop.Log.empty());
}

TEST_F(MainformTest, WallpaperTheSystemRefusesKeepsTheCurrentOne) {
  Pictures.Write("sky.bmp", BmpOfSize(8, 6));
  StoreSetting("Wallpaper", "before");
  Desktop.Refusal = "Access is denied.";
  auto form = Start();
  try {
    form->SetWallpaper(Picture("sky.bmp"));
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_STREQ(e.what(), "Windows did not accept the wallpaper: Access is denied.");
  }
  EXPECT_EQ(form->CurrentWallpaper(), "before");
  EXPECT_EQ(StoredSetting("Wallpaper"), "before");
  EXPECT_EQ(DesktopValue("Wallpaper"), "old");
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: before");
  EXPECT_EQ(Desktop.Log.size(), 1u);  // no broadcast
}

TEST_F(MainformTest, FailedChangeAtStartIsReportedAndTheProgramRuns) {
  Pictures.Write("bad.bmp", "BMnot a bitmap at all");
  StoreSetting("Change Paper", "1");
  auto form = Start();
  ASSERT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Sandbox.Messages[0].Caption, "Kaleidon");
  EXPECT_TRUE(form->TrayIcon1->Shown());
}

// While the box of a failed change is up, ticks and double-clicks show no
// other; the first tick after it closes tries again.
TEST_F(MainformTest, OneFailedChangeBoxAtATimeAndTheNextTickRetries) {
  Pictures.Write("bad.bmp", "BMnot a bitmap at all");
  StoreSetting("Change Time", "1");
  auto form = Start();
  int boxes = 0;
  int open = 0;
  TUserHooksScope box({.MessageBox = [&](const std::string&, const std::string&, unsigned) {
    ++boxes;
    EXPECT_EQ(open++, 0) << "a second box while one is open";
    form->Timer1Timer(nullptr);
    form->Timer1Timer(nullptr);
    form->TrayIcon1DblClick(nullptr);
    --open;
    return idOK;
  }});
  form->Timer1Timer(nullptr);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(form->MinutesLeft(), 1);
  form->Timer1Timer(nullptr);
  EXPECT_EQ(boxes, 2);
}

TEST_F(MainformTest, FileNoReaderTakesIsNotApplied) {
  Pictures.Write("photo.psd", BmpOfSize(8, 8));
  auto form = Start();
  try {
    form->SetWallpaper(Picture("photo.psd"));
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.psd)");
  }
  EXPECT_FALSE(FileExists(BitmapPath()));
}

TEST_F(MainformTest, GroupAfterTheCommandsFollowsTheState) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  auto form = Start();
  form->BuildPopupMenu();
  EXPECT_FALSE(form->PreviousWallpaper1->Enabled);
  EXPECT_FALSE(form->NeverShowThisAgain1->Enabled);
  EXPECT_FALSE(form->OpenFileLocation1->Enabled);
  form->PauseChanges1->Click();
  form->ChagePaper1->Click();
  form->BuildPopupMenu();
  EXPECT_EQ(form->PauseChanges1->Caption, "Resume Changes");
  EXPECT_TRUE(form->NeverShowThisAgain1->Enabled);
  form->OpenFileLocation1->Click();
  EXPECT_EQ(Desktop.Log.back(), "show " + Picture("a.bmp"));
  form->PauseChanges1->Click();
  form->BuildPopupMenu();
  EXPECT_EQ(form->PauseChanges1->Caption, "Pause Changes");
}

TEST_F(MainformTest, PreviousGoesBackInReverseAndTheHistorySurvivesARestart) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) Pictures.Write(name, BmpOfSize(2, 2));
  StoreSetting("Random Paper", "0");
  auto form = Start();
  for (int i = 0; i < 3; ++i) form->ChangeWallpaper();
  EXPECT_EQ(StoredSetting("History"), Picture("c.bmp") + "|" + Picture("b.bmp") + "|" + Picture("a.bmp"));
  form.reset();
  form = Start();
  form->PreviousWallpaper1->Click();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("b.bmp"));
  form->PreviousWallpaper1->Click();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  EXPECT_FALSE(form->PreviousWallpaper());
  EXPECT_EQ(form->History().Entries().size(), 3u);  // going back adds nothing
}

TEST_F(MainformTest, PreviousSkipsMissingFilesWithOneReport) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) Pictures.Write(name, BmpOfSize(2, 2));
  StoreSetting("Random Paper", "0");
  auto form = Start();
  for (int i = 0; i < 4; ++i) form->ChangeWallpaper();
  RemoveFile(Picture("c.bmp"));
  RemoveFile(Picture("b.bmp"));
  form->PreviousWallpaper1->Click();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  ASSERT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Sandbox.Messages[0].Text,
            "These pictures are no longer there and were skipped:\n" + Picture("c.bmp") + "\n" + Picture("b.bmp"));
  EXPECT_EQ(StoredSetting("History"), Picture("d.bmp") + "|" + Picture("a.bmp"));
}

TEST_F(MainformTest, PauseStopsTimedChangesOnlyAndIsRemembered) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  Pictures.Write("b.bmp", BmpOfSize(2, 2));
  StoreSetting("Random Paper", "0");
  StoreSetting("Change Time", "1");
  auto form = Start();
  form->PauseChanges1->Click();
  EXPECT_EQ(StoredSetting("Paused"), "1");
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: ; Time: 1 Min (paused)");
  form->Timer1->Tick();
  EXPECT_TRUE(Desktop.Log.empty());
  EXPECT_EQ(form->MinutesLeft(), 1);
  form->TrayIcon1DblClick(nullptr);
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  StoreSetting("Change Paper", "1");
  form = Start();  // no change at start while paused
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  form->PauseChanges1->Click();
  form->Timer1->Tick();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("b.bmp"));
}

TEST_F(MainformTest, PausedHintCutsALongNameSoTheTipShowsIt) {
  const std::string name = std::string(60, 'x') + ".bmp";
  Pictures.Write(name, BmpOfSize(2, 2));
  StoreSetting("Paused", "1");
  auto form = Start();
  form->SetWallpaper(Picture(name));
  const std::string tip = TTrayIcon::Tip(form->TrayIcon1->Hint());
  EXPECT_EQ(tip, "Wallpaper: " + std::string(40, 'x') + "... (paused)");
}

TEST_F(MainformTest, NeverShowThisAgainLeavesThePictureOutAndGoesOnInOrder) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) Pictures.Write(name, BmpOfSize(2, 2));
  StoreSetting("Random Paper", "0");
  StoreSetting("Wallpaper", Picture("a.bmp"));
  auto form = Start();
  form->ChangeWallpaper();
  form->NeverShowThisAgain1->Click();
  EXPECT_EQ(form->CurrentWallpaper(), Picture("c.bmp"));
  EXPECT_EQ(TRegIniFile("Software\\Trellwick\\Kaleidon").ReadString("Excluded", Picture("b.bmp"), "<none>"), "");
  EXPECT_EQ(StoredSetting("History"), Picture("c.bmp"));
  form->BuildPopupMenu();
  EXPECT_EQ(Catalogue(*form), (std::vector<std::string>{"a.bmp", "c.bmp"}));
}

TEST_F(MainformTest, HotkeysComeFromTheSettingsAndAHeldOneIsReportedOnce) {
  Pictures.Write("a.bmp", BmpOfSize(2, 2));
  StoreSetting("Hotkey Previous", "");
  StoreSetting("Hotkey Pause", "Ctrl+Alt+Q");
  Desktop.Held = {{hkCtrl | hkAlt, 'Q'}};
  auto form = Start();
  ASSERT_EQ(Sandbox.Messages.size(), 1u);
  EXPECT_EQ(Sandbox.Messages[0].Text,
            "Kaleidon cannot use these hotkeys:\nCtrl+Alt+Q (Pause or resume) is held by another program");
  ASSERT_EQ(Desktop.Hotkeys.size(), 1u);
  EXPECT_EQ(Desktop.Hotkeys.begin()->second.second, (THotkey{hkCtrl | hkAlt, 0x27}));  // Right
  form->Hotkeys1->Pressed(Desktop.Hotkeys.begin()->first);
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  StoreSetting("Hotkey Next", "Ctrl+Nothing");
  form->RegisterHotkeys();
  form->RegisterHotkeys();
  ASSERT_EQ(Sandbox.Messages.size(), 2u);
  EXPECT_EQ(Sandbox.Messages[1].Text,
            "Kaleidon cannot use these hotkeys:\nCtrl+Nothing (Next wallpaper) is no key combination");
  EXPECT_TRUE(Desktop.Hotkeys.empty());
}

TEST_F(MainformTest, CommandsDoWhatTheySayOrFailWithWhy) {
  for (const char* name : {"a.bmp", "b.bmp"}) Pictures.Write(name, BmpOfSize(2, 2));
  StoreSetting("Random Paper", "0");
  auto form = Start();
  using enum TCommandVerb;
  const auto fails = [&](const TCommand& command) {
    try {
      form->RunCommand(command);
    } catch (const Exception& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(fails({cvExclude, ""}), "There is no wallpaper to exclude.");
  EXPECT_EQ(fails({cvPrevious, ""}), "There is no earlier wallpaper to go back to.");
  EXPECT_EQ(fails({cvNext, ""}), "");
  EXPECT_EQ(fails({cvSet, Picture("b.bmp")}), "");
  EXPECT_EQ(fails({cvPrevious, ""}), "");
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  EXPECT_EQ(fails({cvPause, ""}), "");
  EXPECT_TRUE(form->Paused());
  EXPECT_EQ(fails({cvResume, ""}), "");
  EXPECT_FALSE(form->Paused());
  EXPECT_EQ(fails({cvExclude, ""}), "");
  EXPECT_EQ(form->CurrentWallpaper(), Picture("b.bmp"));
  EXPECT_EQ(fails({cvNext, ""}), "There is no other picture to change to.");
  EXPECT_NE(fails({cvSet, Picture("gone.bmp")}), "");
}

// Two monitors: a 1024 by 768 primary and an 800 by 600 one to its right,
// or a portrait 600 by 800 one to its left.
class MonitorsTest : public MainformTest {
protected:
  void SetUp() override {
    MainformTest::SetUp();
    Desktop.Screens.push_back({{1024, 0, 800, 600}, false, "DISPLAY2"});
    Pictures.Write("a.bmp", BmpOfColour(40, 30, 0x0000FF));
    Pictures.Write("b.bmp", BmpOfColour(40, 30, 0x00FF00));
    Pictures.Write("c.bmp", BmpOfColour(30, 40, 0xFF0000));  // portrait
    StoreSetting("Random Paper", "0");
  }
};

TEST_F(MonitorsTest, FirstStartChoosesAPicturePerMonitorAndAStoredModeWins) {
  Start();
  EXPECT_EQ(StoredSetting("Monitors"), "1");
  StoreSetting("Monitors", "2");
  Start();
  EXPECT_EQ(StoredSetting("Monitors"), "2");
  Desktop.Screens.pop_back();
  TSettingsSandbox fresh;
  StoreSetting("WPLocation", Pictures.Path());
  Start();
  EXPECT_EQ(StoredSetting("Monitors"), "0");
}

// In sorted order the monitors take consecutive entries, left to right; each
// picture, stretched proportionally for its own monitor, lies in its
// rectangle of one bitmap the size of the virtual screen, tiled.
TEST_F(MonitorsTest, PicturePerMonitorComposesOneTiledBitmap) {
  StoreSetting("Match Orientation", "0");
  auto form = Start();
  form->ChangeWallpaper();
  EXPECT_EQ(form->MonitorWallpapers(), (std::vector<std::string>{Picture("a.bmp"), Picture("b.bmp")}));
  EXPECT_EQ(SavedSize(BitmapPath()), (TSavedSize{1824, 768}));
  EXPECT_EQ(SavedPixel(BitmapPath(), 512, 384), 0x0000FFu);
  EXPECT_EQ(SavedPixel(BitmapPath(), 1024 + 400, 300), 0x00FF00u);
  EXPECT_EQ(SavedPixel(BitmapPath(), 1024 + 400, 700), Desktop.DesktopColor());  // below the smaller monitor
  EXPECT_EQ(DesktopValue("TileWallpaper"), "1");
  EXPECT_EQ(DesktopValue("WallpaperStyle"), "0");
  EXPECT_EQ(StoredSetting("Wallpaper"), Picture("a.bmp"));
  EXPECT_EQ(StoredSetting("Wallpaper 2"), Picture("b.bmp"));
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: a.bmp, b.bmp");
  form->ChangeWallpaper();
  EXPECT_EQ(form->MonitorWallpapers(), (std::vector<std::string>{Picture("c.bmp"), Picture("a.bmp")}));
}

TEST_F(MonitorsTest, PortraitMonitorPrefersAPortraitPicture) {
  Desktop.Screens[1] = {{-600, 0, 600, 800}, false, "DISPLAY2"};
  auto form = Start();
  form->ChangeWallpaper();
  // The portrait monitor comes first (left); it skips a and b for c.
  EXPECT_EQ(form->MonitorWallpapers(), (std::vector<std::string>{Picture("c.bmp"), Picture("a.bmp")}));
  EXPECT_EQ(SavedSize(BitmapPath()), (TSavedSize{1624, 800}));
  EXPECT_EQ(SavedPixel(BitmapPath(), 1024 + 300, 400), 0xFF0000u);  // -600 wraps to the far right
  EXPECT_EQ(SavedPixel(BitmapPath(), 512, 384), 0x0000FFu);
}

TEST_F(MonitorsTest, OnePictureAcrossAllMonitors) {
  StoreSetting("Monitors", "2");
  Pictures.Write("wide.bmp", BmpOfColour(200, 50, 0x00FF00));
  auto form = Start();
  form->SetWallpaper(Picture("wide.bmp"));
  EXPECT_TRUE(form->MonitorWallpapers().empty());
  EXPECT_EQ(form->CurrentWallpaper(), Picture("wide.bmp"));
  // Stretched proportionally to 1823 by 462 on the 1824 by 768 box, centred.
  for (int x : {0, 1000, 1822}) EXPECT_EQ(SavedPixel(BitmapPath(), x, 384), 0x00FF00u) << x;
  EXPECT_EQ(SavedPixel(BitmapPath(), 1823, 384), Desktop.DesktopColor());
  EXPECT_EQ(SavedPixel(BitmapPath(), 1000, 100), Desktop.DesktopColor());
  EXPECT_EQ(form->TrayIcon1->Hint(), "Wallpaper: wide.bmp");
}

TEST_F(MonitorsTest, MenuPictureGoesToTheMonitorUnderThePointer) {
  auto form = Start();
  form->ChangeWallpaper();
  Desktop.CursorX = 1500;
  form->BuildPopupMenu();
  form->PopupMenu1->Items(Position(*form->PopupMenu1, "c.bmp"))->Click();
  EXPECT_EQ(form->MonitorWallpapers(), (std::vector<std::string>{Picture("a.bmp"), Picture("c.bmp")}));
}

// The current pictures follow their monitors to the new layout; the picture
// of a monitor that went is dropped, and one monitor left shows the
// primary's picture as a single monitor does.
TEST_F(MonitorsTest, LayoutChangeRecomposesTheSamePictures) {
  StoreSetting("Match Orientation", "0");
  auto form = Start();
  form->ChangeWallpaper();
  Desktop.Screens[1].Bounds = {-800, 0, 800, 600};
  form->OnDisplayChange(form.get());  // the system's notice, answered once the burst settles
  form->DisplayTimer->Tick();
  EXPECT_EQ(form->MonitorWallpapers(), (std::vector<std::string>{Picture("b.bmp"), Picture("a.bmp")}));
  EXPECT_EQ(SavedPixel(BitmapPath(), 1024 + 400, 300), 0x00FF00u);
  Desktop.Screens.pop_back();
  form->DisplayChanged();
  EXPECT_TRUE(form->MonitorWallpapers().empty());
  EXPECT_EQ(form->CurrentWallpaper(), Picture("a.bmp"));
  EXPECT_EQ(SavedSize(BitmapPath()), (TSavedSize{1014, 767}));
  EXPECT_EQ(DesktopValue("TileWallpaper"), "0");
}

// At random each monitor takes the next of the shuffle's order: two changes
// of two monitors show four pictures before any comes again.
TEST_F(MonitorsTest, RandomPicturesPerMonitorComeInTheShufflesOrder) {
  Pictures.Write("d.bmp", BmpOfColour(40, 30, 0x00FFFF));
  StoreSetting("Random Paper", "1");
  StoreSetting("Match Orientation", "0");
  auto form = Start();
  std::set<std::string> shown;
  for (int change = 0; change < 2; ++change) {
    form->ChangeWallpaper();
    shown.insert(form->MonitorWallpapers().begin(), form->MonitorWallpapers().end());
  }
  EXPECT_EQ(shown.size(), 4u);
}
