#include "app/Mainform.h"

#include "app/PaperRandom.h"
#include "app/Placement.h"
#include "app/Settings.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/MessageBox.h"
#include "framework/Registry.h"
#include "imaging/PictureKinds.h"

namespace {

void WriteDesktopValue(const std::string& name, const std::string& value) {
  TRegistry registry;
  registry.OpenKey(DesktopKey);
  registry.WriteString(name, value);
  registry.CloseKey();
}

}  // namespace

TForm1::TForm1(TComponent* AOwner, TDesktop& desktop) : TForm(AOwner), FDesktop(desktop) {
  ImageHolder1 = new TImageHolder(this);
  Timer1 = new TTimer(this);
  Timer1->OnTimer = TNotifyEvent(this, &TForm1::Timer1Timer);
  FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::FormCreate() {
  auto settings = OpenSettings();
  FBaseDir = settings->ReadString(SettingsSection, "WPLocation", ExecutableDirectory());
  FDirFinder = new TFindDirsList(this, FBaseDir);
  FDirFinder->OnInvalidString = TStringEvent(this, &TForm1::InvalidDirectory);
  FWallpaperList = new TStringList;
  SetChangeTimer(settings->ReadInteger(SettingsSection, "Change Time", 0));
  FCurrentWallpaper = settings->ReadString(SettingsSection, "Wallpaper", "");
  const bool changePaper = settings->ReadBool(SettingsSection, "Change Paper", false);
  settings.reset();
  if (changePaper) ChangeWallpaper();
  UpdateTrayHint();
}

void TForm1::FormDestroy() {
  delete FDirFinder;
  FDirFinder = nullptr;
  delete FWallpaperList;
  FWallpaperList = nullptr;
}

// Setting the interval and enabling restart the period, so the first tick
// comes a full minute later.
void TForm1::SetChangeTimer(int32_t minutes) {
  FMinutesLeft = minutes;
  if (minutes != 0) {
    Timer1->SetInterval(60000);
    Timer1->SetEnabled(true);
  } else {
    Timer1->SetEnabled(false);
    Timer1->SetInterval(0);
  }
}

// A negative count moves away from 0 and so never changes the wallpaper; a
// reload that reads 0 leaves the timer running with nothing to count. The
// count wraps from the lowest value to the highest rather than overflowing.
void TForm1::Timer1Timer(TObject*) {
  if (FMinutesLeft != 0) {
    FMinutesLeft = int32_t(uint32_t(FMinutesLeft) - 1u);
    UpdateTrayHint();
    if (FMinutesLeft == 0) {
      FMinutesLeft = OpenSettings()->ReadInteger(SettingsSection, "Change Time", 0);
      ChangeWallpaper();
    }
  }
  UpdateTrayHint();
}

void TForm1::TrayIcon1DblClick(TObject*) { ChangeWallpaper(); }

// The options dialog is not built yet; the command opens nothing.
void TForm1::ConfigureKaleidon1Click(TObject*) {}

// The wallpaper list dialog is not built yet.
void TForm1::WallpaperLisr1Click(TObject*) {}

// The About box is not built yet.
void TForm1::AboutKaleidon1Click(TObject*) {}

void TForm1::Exit1Click(TObject*) { Close(); }

void TForm1::InvalidDirectory(TObject*, const std::string& NewDir) {
  ShowMessageBox("Invalid Wallpaper Directory:\n" + NewDir, Application ? Application->Title : "", mbOK);
  ConfigureKaleidon1Click(this);
}

// BaseDir is read for every pattern: the options dialog opened by an invalid
// directory may set a new one, which the remaining patterns then search.
void TForm1::BuildWallpaperList() {
  auto settings = OpenSettings();
  FWallpaperList->Clear();
  FWallpaperList->Duplicates = TDuplicates::dupIgnore;
  FWallpaperList->SetSorted(true);
  for (const TPictureKind& kind : PictureKinds()) {
    if (!kind.Catalogued || !settings->ReadBool(SettingsSection, kind.Setting, true)) continue;
    FDirFinder->FileList().Clear();
    FDirFinder->SetStartString(FBaseDir + "\\*" + kind.Extension);
    FDirFinder->Run();
    FWallpaperList->AddStrings(FDirFinder->FileList());
  }
}

// When the current wallpaper is the only entry, a random choice has no
// candidate left; the wallpaper then stays as it is rather than being
// applied again.
void TForm1::ChangeWallpaper() {
  auto settings = OpenSettings();
  BuildWallpaperList();
  const bool randomPaper = settings->ReadBool(SettingsSection, "Random Paper", true);
  int n = FWallpaperList->IndexOf(FCurrentWallpaper);
  int count = FWallpaperList->Count();
  if (count == 0) return;
  if (randomPaper) {
    if (n >= 0) {
      FWallpaperList->Delete(n);
      --count;
    }
    if (count == 0) return;
    n = PaperRandom().Next() % count;
  } else {
    ++n;
    if (n >= count) n = 0;
  }
  settings.reset();
  SetWallpaper(FWallpaperList->Strings(n));
}

std::string TForm1::BitmapPath() {
  std::string directory = FDesktop.WindowsDirectory();
  if (!directory.empty() && directory.back() == '\\') directory.pop_back();
  return directory + "\\Kaleidon.bmp";
}

// Thresholds are read only as far as the decision needs them; every
// comparison is strict and uses the measured size (pixels plus one).
int TForm1::PlacementFor(TRegIniFile& settings) {
  const int W = ImageHolder1->GetIdealComponentWidth();
  const int H = ImageHolder1->GetIdealComponentHeight();
  if (settings.ReadInteger(SettingsSection, "Small Width", 0) > W ||
      settings.ReadInteger(SettingsSection, "Small Height", 0) > H)
    return settings.ReadInteger(SettingsSection, "Small Type", plStretchProportionally);
  if (settings.ReadInteger(SettingsSection, "Large Width", 0) < W ||
      settings.ReadInteger(SettingsSection, "Large Height", 0) < H)
    return settings.ReadInteger(SettingsSection, "Large Type", plStretchProportionally);
  return settings.ReadInteger(SettingsSection, "Middle Type", plStretchProportionally);
}

// Only a picture that was loaded becomes the wallpaper: a file that gave none
// (a GIF without images) ends the command with its kind's error, and nothing
// is written. TileWallpaper is written once the bitmap is saved, before the
// system is asked to show it, and Wallpaper after that; the save replaces the
// old file in one step, so a failed save leaves the previous wallpaper and
// its tile mode as they were.
void TForm1::SetWallpaper(const std::string& sourcePath) {
  const std::string bitmapPath = BitmapPath();
  auto settings = OpenSettings();
  if (!ImageHolder1->LoadFromFile(sourcePath)) throw EInvalidGraphic(NoPictureMessage(sourcePath));
  const int placement = PlacementFor(*settings);
  const bool known = placement >= plTile && placement <= plStretchProportionally;
  if (known) ResizeForPlacement(*ImageHolder1, placement, FDesktop.ScreenWidth(), FDesktop.ScreenHeight());
  ImageHolder1->SaveToFileBMP(bitmapPath);
  if (known) WriteDesktopValue("TileWallpaper", placement == plTile ? "1" : "0");
  FDesktop.SetWallpaperFile(bitmapPath);
  WriteDesktopValue("Wallpaper", bitmapPath);
  FDesktop.BroadcastSettingChange();
  FCurrentWallpaper = sourcePath;
  settings->WriteString(SettingsSection, "Wallpaper", sourcePath);
  settings.reset();
  UpdateTrayHint();
}

// The tray menu and its hint are not built yet.
void TForm1::BuildPopupMenu() {}

void TForm1::UpdateTrayHint() {}
