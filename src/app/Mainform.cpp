#include "app/Mainform.h"

#include <algorithm>
#include <utility>

#include "app/Exclusions.h"
#include "app/Placement.h"
#include "app/Settings.h"
#include "app/Traymenu.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/MessageBox.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "imaging/PictureKinds.h"

namespace {

// Sets a flag for the life of the scope, and puts back what it was.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : FFlag(flag), FOld(std::exchange(flag, true)) {}
  ~TFlagScope() { FFlag = FOld; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

void WriteDesktopValue(const std::string& name, const std::string& value) {
  TRegistry registry;
  registry.OpenKey(DesktopKey);
  registry.WriteString(name, value);
  registry.CloseKey();
}

}  // namespace

TForm1::TForm1(TComponent* AOwner, TDesktop& desktop, TDialogCommands& dialogs)
    : TForm(AOwner), FDesktop(desktop), FDialogs(dialogs) {
  ImageHolder1 = new TImageHolder(this);
  Timer1 = new TTimer(this);
  Timer1->OnTimer = TNotifyEvent(this, &TForm1::Timer1Timer);
  TrayIcon1 = new TTrayIcon(this, FDesktop);
  SysInfo1 = new TSysInfo(this);
  PopupMenu1 = new TPopupMenu(this);
  CreateMenu();
  TrayIcon1->PopupMenu = PopupMenu1;
  TrayIcon1->OnDblClick = TNotifyEvent(this, &TForm1::TrayIcon1DblClick);
  Hotkeys1 = new THotkeys(this, FDesktop);
  Hotkeys1->OnHotkey = THotkeyEvent(this, &TForm1::Hotkeys1Hotkey);
  TrayIcon1->Loaded();
  FormCreate();
}

void TForm1::CreateMenu() {
  ChagePaper1 = PopupMenu1->Add("Chage Paper", TNotifyEvent(this, &TForm1::TrayIcon1DblClick));
  ChagePaper1->Default = true;
  ConfigureKaleidon1 = PopupMenu1->Add("Configure Kaleidon", TNotifyEvent(this, &TForm1::ConfigureKaleidon1Click));
  WallpaperList2 = PopupMenu1->Add("Wallpaper List", TNotifyEvent(this, &TForm1::WallpaperLisr1Click));
  AboutKaleidon1 = PopupMenu1->Add("About Kaleidon", TNotifyEvent(this, &TForm1::AboutKaleidon1Click));
  N1 = PopupMenu1->Add("-");
  PreviousWallpaper1 = PopupMenu1->Add("Previous Wallpaper", TNotifyEvent(this, &TForm1::PreviousWallpaper1Click));
  PauseChanges1 = PopupMenu1->Add("Pause Changes", TNotifyEvent(this, &TForm1::PauseChanges1Click));
  NeverShowThisAgain1 = PopupMenu1->Add("Never Show This Again", TNotifyEvent(this, &TForm1::NeverShowThisAgain1Click));
  OpenFileLocation1 = PopupMenu1->Add("Open File Location", TNotifyEvent(this, &TForm1::OpenFileLocation1Click));
  N2 = PopupMenu1->Add("-");
  FFixedItems = PopupMenu1->Count();
  Exit1 = PopupMenu1->Add("Exit", TNotifyEvent(this, &TForm1::Exit1Click));
  PopupMenu1->OnPopup = TNotifyEvent(this, &TForm1::PopupMenu1Popup);
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::FormCreate() {
  auto settings = OpenSettings();
  FBaseDir = ReadBaseDirectory(*settings);
  FDirFinder = new TCatalogueSearch(this, FBaseDir);
  FDirFinder->OnInvalidString = TStringEvent(this, &TForm1::InvalidDirectory);
  FWallpaperList = new TStringList;
  SetChangeTimer(ReadSetting(*settings, ChangeTimeSetting));
  FCurrentWallpaper = ReadSetting(*settings, WallpaperSetting);
  FHistory.Load(*settings, FCurrentWallpaper);
  FShuffle.Shown(FCurrentWallpaper);
  const bool changePaper = ReadSetting(*settings, ChangePaperSetting) && !ReadSetting(*settings, PausedSetting);
  settings.reset();
  if (changePaper) RunChange([this] { ChangeWallpaper(); });
  UpdateTrayHint();
  RegisterHotkeys();
}

void TForm1::FormDestroy() {
  delete FDirFinder;
  FDirFinder = nullptr;
  while (PopupMenu1->Count() > FFixedItems) PopupMenu1->Delete(FFixedItems);
  Exit1 = nullptr;
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
// While an invalid directory or a failed change is being reported the ticks
// pass unused: a change now would report it again. A timed change that
// failed is tried again at the next tick rather than a whole interval later.
// While changes are paused the count stands still.
void TForm1::Timer1Timer(TObject*) {
  if (FReporting || FChangeFailureShown || Paused()) return;
  if (FMinutesLeft != 0) {
    FMinutesLeft = int32_t(uint32_t(FMinutesLeft) - 1u);
    UpdateTrayHint();
    if (FMinutesLeft == 0) {
      FMinutesLeft = ReadSetting(*OpenSettings(), ChangeTimeSetting);
      if (!RunChange([this] { ChangeWallpaper(); }) && FMinutesLeft != 0) FMinutesLeft = 1;
    }
  }
  UpdateTrayHint();
}

// What a change raises is shown as any command's error is, but only one such
// box is open at a time: a change that fails while one is up (a double-click
// under the box) says nothing more.
bool TForm1::RunChange(const std::function<void()>& change) {
  try {
    change();
    return true;
  } catch (const std::exception& e) {
    if (FChangeFailureShown) return false;
    const TFlagScope shown(FChangeFailureShown);
    if (Application)
      Application->HandleException(e);
    else
      ShowMessageBox(e.what(), "", mbOK | mbIconError);
    return false;
  }
}

void TForm1::TrayIcon1DblClick(TObject*) { RunChange([this] { ChangeWallpaper(); }); }

void TForm1::ConfigureKaleidon1Click(TObject*) { FDialogs.Configure(*this); }

void TForm1::WallpaperLisr1Click(TObject*) { FDialogs.WallpaperList(*this); }

void TForm1::AboutKaleidon1Click(TObject*) { FDialogs.About(*this); }

void TForm1::Exit1Click(TObject*) { Close(); }

// One report at a time: a build that runs while the report's box or the
// options dialog it opened is up (a tray command) says nothing more, so one
// bad folder never piles up boxes and dialogs.
void TForm1::InvalidDirectory(TObject*, const std::string& NewDir) {
  if (FReporting) return;
  ++FReports;
  const TFlagScope reporting(FReporting);
  ShowMessageBox("Invalid Wallpaper Directory:\n" + NewDir, Application ? Application->Title : "", mbOK);
  ConfigureKaleidon1Click(this);
}

// One walk collects every enabled pattern. A base directory that cannot be
// searched is reported once per build; the options dialog the report opens
// may set a new one, which is then searched without a second report. The
// pictures the user excluded are left out.
void TForm1::BuildWallpaperList() {
  auto settings = OpenSettings();
  FWallpaperList->Clear();
  FWallpaperList->Duplicates = TDuplicates::dupIgnore;
  FWallpaperList->SetSorted(true);
  FDirFinder->SetPatterns(*settings);
  if (!FDirFinder->AnyPattern()) return;
  const unsigned reports = FReports;
  FDirFinder->Search(FBaseDir);
  if (FReports != reports) {
    const TFlagScope quiet(FReporting);
    FDirFinder->Search(FBaseDir);
  }
  FDirFinder->AddFoundTo(*FWallpaperList);
  RemoveExcluded(*settings, *FWallpaperList);
}

// Random order is the shuffle's. When the current wallpaper is the only
// entry, a random choice has no other; the wallpaper then stays as it is
// rather than being applied again.
void TForm1::ChangeWallpaper() {
  auto settings = OpenSettings();
  BuildWallpaperList();
  const bool randomPaper = ReadSetting(*settings, RandomPaperSetting);
  int n = FWallpaperList->IndexOf(FCurrentWallpaper);
  const int count = FWallpaperList->Count();
  if (count == 0) return;
  std::string next;
  if (randomPaper) {
    if (count == 1 && n == 0) return;
    next = FShuffle.Next(*FWallpaperList);
  } else {
    ++n;
    if (n >= count) n = 0;
    next = FWallpaperList->Strings(n);
  }
  settings.reset();
  SetWallpaper(next);
}

// The folder is made when missing: a new user profile has none.
std::string TForm1::BitmapPath() {
  std::string directory = FDesktop.LocalAppDataDirectory();
  if (!directory.empty() && directory.back() == '\\') directory.pop_back();
  directory += std::string("\\") + AppDataFolder;
  MakeDirectories(directory);
  return directory + "\\Kaleidon.bmp";
}

// Thresholds are read only as far as the decision needs them; every
// comparison is strict and uses the measured size (pixels plus one).
int TForm1::PlacementFor(TRegIniFile& settings) {
  const int W = ImageHolder1->GetIdealComponentWidth();
  const int H = ImageHolder1->GetIdealComponentHeight();
  if (ReadSetting(settings, SmallWidthSetting) > W || ReadSetting(settings, SmallHeightSetting) > H)
    return ReadSetting(settings, SmallTypeSetting);
  if (ReadSetting(settings, LargeWidthSetting) < W || ReadSetting(settings, LargeHeightSetting) < H)
    return ReadSetting(settings, LargeTypeSetting);
  return ReadSetting(settings, MiddleTypeSetting);
}

// Only a picture that was loaded becomes the wallpaper: a file that gave none
// (a GIF without images) ends the command with its kind's error, and nothing
// is written. The style values are written once the bitmap is saved, before
// the system is asked to show it, and Wallpaper after that; the save replaces
// the old file in one step, so a failed save leaves the previous wallpaper
// and its tile mode as they were. WallpaperStyle "0" makes the system only
// tile or centre what was sized here (its own default since Windows 7 would
// fill the screen, cropping). A wallpaper the system refuses changes nothing
// that names the current one.
void TForm1::SetWallpaper(const std::string& sourcePath) {
  const std::string bitmapPath = BitmapPath();
  auto settings = OpenSettings();
  if (!ImageHolder1->LoadFromFile(sourcePath)) throw EInvalidGraphic(NoPictureMessage(sourcePath));
  const int placement = PlacementFor(*settings);
  const bool known = placement >= plTile && placement <= plStretchProportionally;
  if (known) ResizeForPlacement(*ImageHolder1, placement, FDesktop.ScreenWidth(), FDesktop.ScreenHeight());
  ImageHolder1->SaveToFileBMP(bitmapPath);
  if (known) {
    WriteDesktopValue("WallpaperStyle", "0");
    WriteDesktopValue("TileWallpaper", placement == plTile ? "1" : "0");
  }
  std::string reason;
  if (!FDesktop.SetWallpaperFile(bitmapPath, reason)) throw EOSError("Windows did not accept the wallpaper: " + reason);
  WriteDesktopValue("Wallpaper", bitmapPath);
  FDesktop.BroadcastSettingChange();
  FCurrentWallpaper = sourcePath;
  WriteSetting(*settings, WallpaperSetting, sourcePath);
  PictureApplied(*settings, sourcePath);
  settings.reset();
  UpdateTrayHint();
}

void TForm1::PopupMenu1Popup(TObject*) { BuildPopupMenu(); }

// The item carries the full path of its entry as the menu was built: a
// change of the catalogue while the menu is open cannot make it apply
// another file.
void TForm1::ImageClick(TObject* sender) {
  const std::string path = static_cast<TMenuItem*>(sender)->Hint;
  RunChange([&] { SetWallpaper(path); });
}

bool TForm1::ScrollingMenus() {
  return ScrollingMenusFor(SysInfo1->OSMajorVersionNumber(), SysInfo1->OSMinorVersionNumber());
}

// An error while the wallpaper items are added (a damaged setting, a
// directory that cannot be searched) is reported, and the menu still ends
// with "Exit".
void TForm1::BuildPopupMenu() {
  while (PopupMenu1->Count() > FFixedItems) PopupMenu1->Delete(FFixedItems);
  UpdateCommandItems();
  bool listed = false, more = false;
  int rows = 0;
  DispatchCommand([&] {
    if (!ReadSetting(*OpenSettings(), DisplayPapersSetting)) return;
    listed = true;
    rows = MenuRows(FDesktop.ScreenHeight(), FDesktop.MenuLineHeight(), ScrollingMenus());
    more = AddWallpaperItems(rows);
  });
  if (more)
    AddMenuItem("More...", TNotifyEvent(this, &TForm1::WallpaperLisr1Click), rows);
  else if (listed)
    AddMenuItem("-", {}, rows);
  Exit1 = AddMenuItem("Exit", TNotifyEvent(this, &TForm1::Exit1Click), rows);
}

// An item after the fixed ones at a multiple of the rows begins a column.
TMenuItem* TForm1::AddMenuItem(const std::string& caption, const TNotifyEvent& onClick, int rows) {
  TMenuItem* item = PopupMenu1->Add(caption, onClick);
  const int position = PopupMenu1->Count() - 1;
  if (rows > 0 && position > FFixedItems - 1 && position % rows == 0) item->Break = TMenuBreak::mbBarBreak;
  return item;
}

// Only the entries that the screen's columns show in full get an item; true
// when some are left out ("More..." then follows them).
bool TForm1::AddWallpaperItems(int rows) {
  BuildWallpaperList();
  TMenuGeometry geometry;
  geometry.FixedItems = FFixedItems;
  geometry.Rows = rows;
  geometry.ScreenWidth = FDesktop.ScreenWidth();
  for (int i = 0; i < FFixedItems; ++i)
    geometry.FixedWidth = std::max(geometry.FixedWidth, FDesktop.MenuItemWidth(PopupMenu1->Items(i)->Caption));
  geometry.TrailingWidth = std::max(FDesktop.MenuItemWidth("More..."), FDesktop.MenuItemWidth("Exit"));
  const TStringList& list = *FWallpaperList;
  const TMenuFit fit = FitMenu(geometry, list.Count(),
                               [&](int i) { return FDesktop.MenuItemWidth(ExtractFileName(list[i])); });
  for (int i = 0; i < fit.Listed; ++i) {
    TMenuItem* item = AddMenuItem(ExtractFileName(list[i]), TNotifyEvent(this, &TForm1::ImageClick), rows);
    item->Tag = i;
    item->Hint = list[i];
  }
  return fit.More;
}

// While paused the hint ends in "(paused)"; a long file name is cut short
// so that the tip still shows it.
void TForm1::UpdateTrayHint() {
  const std::string name = ExtractFileName(FCurrentWallpaper);
  const std::string time = FMinutesLeft != 0 ? "; Time: " + IntToStr(FMinutesLeft) + " Min" : "";
  TrayIcon1->SetHint(Paused() ? TTrayIcon::FitTip("Wallpaper: ", name, time + " (paused)")
                              : "Wallpaper: " + name + time);
}

// The group after the commands follows the state it acts on.
void TForm1::UpdateCommandItems() {
  const bool shown = !FCurrentWallpaper.empty();
  PreviousWallpaper1->Enabled = FHistory.HasOlder();
  PauseChanges1->Caption = Paused() ? "Resume Changes" : "Pause Changes";
  NeverShowThisAgain1->Enabled = shown;
  OpenFileLocation1->Enabled = shown;
}

// Every picture that becomes the wallpaper counts as shown in the random
// order's cycle, and is the history's newest unless it came from there.
void TForm1::PictureApplied(TRegIniFile& settings, const std::string& path) {
  FShuffle.Shown(path);
  if (!FSteppingBack) FHistory.Applied(settings, path);
}

// Entries whose files are gone are dropped on the way, with one report
// that names them all.
bool TForm1::PreviousWallpaper() {
  std::string path;
  std::vector<std::string> missing;
  const bool found = FHistory.StepBack(*OpenSettings(), FileExists, path, missing);
  if (!missing.empty()) {
    std::string text = "These pictures are no longer there and were skipped:";
    for (const std::string& gone : missing) text += "\n" + gone;
    ShowMessageBox(text, Application ? Application->Title : "", mbOK | mbIconExclamation);
  }
  if (!found) return false;
  const TFlagScope fromHistory(FSteppingBack);
  SetWallpaper(path);
  return true;
}

bool TForm1::Paused() { return ReadSetting(*OpenSettings(), PausedSetting); }

void TForm1::SetPaused(bool paused) {
  WriteSetting(*OpenSettings(), PausedSetting, paused);
  UpdateTrayHint();
}

// The change comes first, while the picture is still in the catalogue, so
// that the order goes on from it; the picture is excluded even when the
// change fails.
bool TForm1::NeverShowThisAgain() {
  const std::string excluded = FCurrentWallpaper;
  if (excluded.empty()) return false;
  try {
    ChangeWallpaper();
  } catch (...) {
    ExcludePicture(excluded);
    throw;
  }
  ExcludePicture(excluded);
  return true;
}

void TForm1::ExcludePicture(const std::string& path) {
  auto settings = OpenSettings();
  Exclude(*settings, path);
  FHistory.Remove(*settings, path);
}

void TForm1::RegisterHotkeys() {
  const std::string report = Hotkeys1->Register(*OpenSettings());
  if (!report.empty()) ShowMessageBox(report, Application ? Application->Title : "", mbOK | mbIconExclamation);
}

void TForm1::PreviousWallpaper1Click(TObject*) { RunChange([this] { PreviousWallpaper(); }); }

void TForm1::PauseChanges1Click(TObject*) { SetPaused(!Paused()); }

void TForm1::NeverShowThisAgain1Click(TObject*) { RunChange([this] { NeverShowThisAgain(); }); }

void TForm1::OpenFileLocation1Click(TObject*) {
  if (!FCurrentWallpaper.empty()) FDesktop.ShowInFolder(FCurrentWallpaper);
}

void TForm1::Hotkeys1Hotkey(TObject*, THotkeyCommand command) {
  switch (command) {
    case THotkeyCommand::hcNext:
      RunChange([this] { ChangeWallpaper(); });
      break;
    case THotkeyCommand::hcPrevious:
      RunChange([this] { PreviousWallpaper(); });
      break;
    case THotkeyCommand::hcPause:
      SetPaused(!Paused());
      break;
  }
}

// A command that cannot do what it says fails with why, for the caller.
void TForm1::RunCommand(const TCommand& command) {
  const std::string before = FCurrentWallpaper;
  switch (command.Verb) {
    case TCommandVerb::cvNext:
      ChangeWallpaper();
      if (FCurrentWallpaper == before) throw Exception("There is no other picture to change to.");
      break;
    case TCommandVerb::cvPrevious:
      if (!PreviousWallpaper()) throw Exception("There is no earlier wallpaper to go back to.");
      break;
    case TCommandVerb::cvPause:
      SetPaused(true);
      break;
    case TCommandVerb::cvResume:
      SetPaused(false);
      break;
    case TCommandVerb::cvExclude:
      if (!NeverShowThisAgain()) throw Exception("There is no wallpaper to exclude.");
      break;
    case TCommandVerb::cvSet:
      SetWallpaper(command.File);
      break;
    case TCommandVerb::cvExit:
      Close();
      break;
  }
}
