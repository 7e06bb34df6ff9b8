#include "app/Mainform.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "app/Composition.h"
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
#include "imaging/BmpCodec.h"
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
  // Nothing here ever undoes a resize: a copy of each decoded picture kept
  // for it would only double the memory a change takes.
  ImageHolder1->Proc().AutoUndo = false;
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
  // A layout change comes as a burst of notices: the pictures are composed
  // anew once it has settled.
  DisplayTimer = new TTimer(this);
  DisplayTimer->SetEnabled(false);
  DisplayTimer->SetInterval(1000);
  DisplayTimer->OnTimer = TNotifyEvent(this, &TForm1::DisplayTimerTimer);
  OnDisplayChange = TNotifyEvent(this, &TForm1::FormDisplayChange);
  TrayIcon1->OnTaskbarCreated = TNotifyEvent(this, &TForm1::FormDisplayChange);
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
  const bool changePaper = ReadSetting(*settings, ChangePaperSetting) && !ReadSetting(*settings, PausedSetting);
  const std::vector<TMonitor> monitors = Monitors();
  if (settings->ReadString(SettingsSection, MonitorsSetting, "").empty())
    settings->WriteInteger(SettingsSection, MonitorsSetting, monitors.size() > 1 ? mmPerMonitor : mmSame);
  if (MonitorsMode(monitors) == mmPerMonitor) RestoreMonitorWallpapers(monitors, *settings);
  for (const std::string& shown : CurrentSources(monitors)) FShuffle.Shown(shown);
  FShuffle.Shown(FCurrentWallpaper);
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

void TForm1::TrayIcon1DblClick(TObject*) {
  RunChange([this] { ChangeWallpaper(); });
}

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
  const std::vector<TMonitor> monitors = Monitors();
  if (MonitorsMode(monitors) == mmPerMonitor) {
    ChangePerMonitor(monitors, *settings);
    return;
  }
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
// is written. The save replaces the old file in one step, so a failed save
// leaves the previous wallpaper and its tile mode as they were. Several
// monitors in mmPerMonitor each get the picture, placed for their own size;
// in mmAcross it is placed across them all.
void TForm1::SetWallpaper(const std::string& sourcePath) {
  const std::vector<TMonitor> monitors = Monitors();
  switch (MonitorsMode(monitors)) {
    case mmPerMonitor: ShowPerMonitor(monitors, std::vector<std::string>(monitors.size(), sourcePath)); return;
    case mmAcross: {
      auto settings = OpenSettings();
      std::vector<TPlaced> placed;
      placed.push_back(Place(sourcePath, FDesktop.VirtualScreen(), *settings));
      ShowComposed(monitors, std::move(placed), *settings);
      return;
    }
    case mmSame: break;
  }
  const std::string bitmapPath = BitmapPath();
  auto settings = OpenSettings();
  LoadPicture(sourcePath);
  FDecodedSource.clear();
  const int placement = PlacementFor(*settings);
  const bool known = placement >= plTile && placement <= plStretchProportionally;
  const bool smooth = ReadSetting(*settings, SmoothResizeSetting);
  if (known) ResizeForPlacement(*ImageHolder1, placement, FDesktop.ScreenWidth(), FDesktop.ScreenHeight(), smooth);
  ImageHolder1->SaveToFileBMP(bitmapPath);
  ShowBitmap(bitmapPath, placement);
  FCurrentWallpaper = sourcePath;
  FMonitorWallpapers.clear();
  FMonitorNames.clear();
  WriteSetting(*settings, WallpaperSetting, sourcePath);
  PicturesApplied(*settings, {sourcePath});
  settings.reset();
  UpdateTrayHint();
}

// The style values are written once the bitmap is saved, before the system
// is asked to show it, and Wallpaper after that. WallpaperStyle "0" makes the
// system only tile or centre what was sized here (its own default since
// Windows 7 would fill the screen, cropping); a placement it does not know
// writes neither. A wallpaper the system refuses changes nothing that names
// the current one.
void TForm1::ShowBitmap(const std::string& bitmapPath, int placement) {
  if (placement >= plTile && placement <= plStretchProportionally) {
    WriteDesktopValue("WallpaperStyle", "0");
    WriteDesktopValue("TileWallpaper", placement == plTile ? "1" : "0");
  }
  std::string reason;
  if (!FDesktop.SetWallpaperFile(bitmapPath, reason)) throw EOSError("Windows did not accept the wallpaper: " + reason);
  WriteDesktopValue("Wallpaper", bitmapPath);
  FDesktop.BroadcastSettingChange();
}

// A picture still held as it was decoded (its shape was just learnt) is not
// decoded again. The previous one goes first, so that two decoded pictures
// never take memory at once.
void TForm1::LoadPicture(const std::string& sourcePath) {
  if (sourcePath == FDecodedSource) return;
  FDecodedSource.clear();
  ImageHolder1->Bitmap() = TBitmap();
  ImageHolder1->IO().Matte = FDesktop.DesktopColor();
  if (!ImageHolder1->LoadFromFile(sourcePath)) throw EInvalidGraphic(NoPictureMessage(sourcePath));
  const TBitmap& picture = ImageHolder1->Bitmap();
  FPortraitPictures[sourcePath] = picture.Height() > picture.Width();
  FDecodedSource = sourcePath;
}

std::vector<TMonitor> TForm1::Monitors() { return OrderedMonitors(FDesktop.Monitors()); }

TMonitorsMode TForm1::MonitorsMode(const std::vector<TMonitor>& monitors) {
  if (monitors.size() < 2) return mmSame;
  const int32_t mode = OpenSettings()->ReadInteger(SettingsSection, MonitorsSetting, mmSame);
  return mode == mmPerMonitor || mode == mmAcross ? TMonitorsMode(mode) : mmSame;
}

// The picture classified by its own size and placed for the area's, the part
// of it the area can show kept.
TForm1::TPlaced TForm1::Place(const std::string& sourcePath, const TScreenRect& area, TRegIniFile& settings) {
  LoadPicture(sourcePath);
  FDecodedSource.clear();
  const int placement = PlacementFor(settings);
  if (placement >= plTile && placement <= plStretchProportionally)
    ResizeForPlacement(*ImageHolder1, placement, area.Width, area.Height, ReadSetting(settings, SmoothResizeSetting));
  TPlaced placed{sourcePath, std::exchange(ImageHolder1->Bitmap(), TBitmap()), placement == plTile, area};
  CropToArea(placed.Picture, placed.Tiled, area.Width, area.Height);
  return placed;
}

// One order of candidates serves every monitor of a change, each taking the
// first one left: in sorted order the entries after the last monitor's
// picture, so the monitors take consecutive ones left to right; at random
// the shuffle's order, the pictures shown now at its end.
std::vector<int> TForm1::CandidateOrder(const std::vector<TMonitor>& monitors, bool randomOrder) {
  const int count = FWallpaperList->Count();
  std::vector<int> order(static_cast<size_t>(count));
  if (!randomOrder) {
    int last = FWallpaperList->IndexOf(FMonitorWallpapers.empty() ? FCurrentWallpaper : FMonitorWallpapers.back());
    for (int i = 0; i < count; ++i) order[size_t(i)] = (last + 1 + i) % count;
    return order;
  }
  const std::vector<std::string> coming = FShuffle.Coming(*FWallpaperList);
  for (int i = 0; i < count; ++i) order[size_t(i)] = FWallpaperList->IndexOf(coming[size_t(i)]);
  const std::vector<std::string> shown = CurrentSources(monitors);
  std::stable_partition(order.begin(), order.end(), [&](int i) {
    return std::find(shown.begin(), shown.end(), (*FWallpaperList)[i]) == shown.end();
  });
  return order;
}

void TForm1::ChangePerMonitor(const std::vector<TMonitor>& monitors, TRegIniFile& settings) {
  if (FWallpaperList->Count() == 0) return;
  const std::vector<int> order = CandidateOrder(monitors, ReadSetting(settings, RandomPaperSetting));
  std::vector<bool> taken(order.size());
  std::vector<TPlaced> placed;
  placed.reserve(monitors.size());
  for (const TMonitor& monitor : monitors) placed.push_back(PlaceForMonitor(monitor, order, taken, settings));
  ShowComposed(monitors, std::move(placed), settings);
}

// With "Match Orientation" a monitor skips the candidates whose shape is not
// its own. A shape is known once its picture was loaded; a few unknown ones
// are loaded to learn theirs, and when none fits, the first candidate is
// taken whatever its shape. Candidates run out only with more monitors than
// pictures: the pictures are then shown again.
TForm1::TPlaced TForm1::PlaceForMonitor(const TMonitor& monitor, const std::vector<int>& order,
                                        std::vector<bool>& taken, TRegIniFile& settings) {
  constexpr int MaxShapeLoads = 8;
  const bool match = ReadSetting(settings, MatchOrientationSetting);
  int fallback = -1, loads = 0;
  for (int index : order) {
    if (taken[size_t(index)]) continue;
    const std::string& path = (*FWallpaperList)[index];
    if (fallback < 0) fallback = index;
    if (match) {
      auto known = FPortraitPictures.find(path);
      if (known == FPortraitPictures.end()) {
        if (loads++ == MaxShapeLoads) break;
        LoadPicture(path);
        known = FPortraitPictures.find(path);
      }
      if (known->second != monitor.Portrait()) continue;
    }
    taken[size_t(index)] = true;
    return Place(path, monitor.Bounds, settings);
  }
  if (fallback < 0) fallback = order.front();
  taken[size_t(fallback)] = true;
  return Place((*FWallpaperList)[fallback], monitor.Bounds, settings);
}

void TForm1::SetMonitorWallpaper(int monitor, const std::string& sourcePath) {
  const std::vector<TMonitor> monitors = Monitors();
  if (MonitorsMode(monitors) != mmPerMonitor || monitor < 0 || size_t(monitor) >= monitors.size()) {
    SetWallpaper(sourcePath);
    return;
  }
  std::vector<std::string> sources = CurrentSources(monitors);
  sources[size_t(monitor)] = sourcePath;
  ShowPerMonitor(monitors, std::move(sources));
}

// A monitor without a picture shows the desktop colour.
void TForm1::ShowPerMonitor(const std::vector<TMonitor>& monitors, std::vector<std::string> sources) {
  auto settings = OpenSettings();
  std::vector<TPlaced> placed;
  for (size_t i = 0; i < monitors.size(); ++i)
    placed.push_back(sources[i].empty() ? TPlaced{{}, {}, false, monitors[i].Bounds}
                                        : Place(sources[i], monitors[i].Bounds, *settings));
  ShowComposed(monitors, std::move(placed), *settings);
}

// The pictures shown now, matched to the monitors by the system's names for
// them (by position when the names are not known, after a start); a monitor
// that was not there has none.
std::vector<std::string> TForm1::CurrentSources(const std::vector<TMonitor>& monitors) const {
  std::vector<std::string> sources(monitors.size());
  for (size_t i = 0; i < monitors.size(); ++i)
    for (size_t j = 0; j < FMonitorNames.size() && j < FMonitorWallpapers.size(); ++j)
      if (FMonitorNames[j] == monitors[i].Name) sources[i] = FMonitorWallpapers[j];
  return sources;
}

// The composed bitmap is tiled from the primary monitor's corner. The placed
// pictures go once they are composed, before the bitmap is written; it is
// written with its colours as they are (a single picture of two colours is
// reduced to black and white, a composition never).
void TForm1::ShowComposed(const std::vector<TMonitor>& monitors, std::vector<TPlaced> placed, TRegIniFile& settings) {
  const std::string bitmapPath = BitmapPath();
  std::vector<TComposedPicture> parts;
  parts.reserve(placed.size());
  for (const TPlaced& p : placed) parts.push_back({&p.Picture, p.Tiled, p.Area});
  TBitmap composed = ComposeWallpaper(FDesktop.VirtualScreen(), parts, FDesktop.DesktopColor());
  parts.clear();
  const bool across = placed.size() == 1 && monitors.size() > 1;
  std::vector<std::string> sources;
  for (TPlaced& p : placed) {
    sources.push_back(p.Source);
    p.Picture = TBitmap();
  }
  WriteBitmapFile(bitmapPath, composed);
  composed = TBitmap();
  ShowBitmap(bitmapPath, plTile);
  const int primary = PrimaryMonitor(monitors);
  FCurrentWallpaper = across ? sources.front() : sources[size_t(primary)];
  FMonitorWallpapers = across ? std::vector<std::string>() : sources;
  FMonitorNames.clear();
  if (!across)
    for (const TMonitor& monitor : monitors) FMonitorNames.push_back(monitor.Name);
  WriteSetting(settings, WallpaperSetting, FCurrentWallpaper);
  for (size_t i = 0, number = 2; i < FMonitorWallpapers.size(); ++i)
    if (int(i) != primary)
      settings.WriteString(SettingsSection, MonitorWallpaperSetting(int(number++)), FMonitorWallpapers[i]);
  PicturesApplied(settings, sources);
  UpdateTrayHint();
}

// After a start the monitors take the stored pictures in their order, the
// primary the one of "Wallpaper".
void TForm1::RestoreMonitorWallpapers(const std::vector<TMonitor>& monitors, const TRegIniFile& settings) {
  const int primary = PrimaryMonitor(monitors);
  FMonitorWallpapers.assign(monitors.size(), {});
  FMonitorNames.clear();
  for (size_t i = 0, number = 2; i < monitors.size(); ++i) {
    FMonitorNames.push_back(monitors[i].Name);
    FMonitorWallpapers[i] = int(i) == primary
                                ? FCurrentWallpaper
                                : settings.ReadString(SettingsSection, MonitorWallpaperSetting(int(number++)), "");
  }
}

void TForm1::FormDisplayChange(TObject*) {
  DisplayTimer->SetEnabled(false);
  DisplayTimer->SetEnabled(true);
}

void TForm1::DisplayTimerTimer(TObject*) {
  DisplayTimer->SetEnabled(false);
  RunChange([this] { DisplayChanged(); });
}

// Only the modes that compose follow the layout; the same picture on every
// monitor is the system's to show.
void TForm1::DisplayChanged() {
  const int32_t stored = OpenSettings()->ReadInteger(SettingsSection, MonitorsSetting, mmSame);
  if (stored == mmPerMonitor || stored == mmAcross) ShowCurrentPictures();
}

void TForm1::ShowCurrentPictures() {
  if (FCurrentWallpaper.empty() && FMonitorWallpapers.empty()) return;
  const std::vector<TMonitor> monitors = Monitors();
  if (MonitorsMode(monitors) != mmPerMonitor) {
    if (!FCurrentWallpaper.empty()) SetWallpaper(FCurrentWallpaper);
    return;
  }
  std::vector<std::string> sources = CurrentSources(monitors);
  for (std::string& source : sources)
    if (source.empty()) source = FCurrentWallpaper;
  ShowPerMonitor(monitors, std::move(sources));
}

void TForm1::PopupMenu1Popup(TObject*) { BuildPopupMenu(); }

// The item carries the full path of its entry as the menu was built: a
// change of the catalogue while the menu is open cannot make it apply
// another file.
// With a picture per monitor, the item's picture goes to the monitor under
// the mouse pointer at the moment of the click.
void TForm1::ImageClick(TObject* sender) {
  const std::string path = static_cast<TMenuItem*>(sender)->Hint;
  int x = 0, y = 0;
  FDesktop.CursorPos(x, y);
  RunChange([&] { SetMonitorWallpaper(MonitorAt(Monitors(), x, y), path); });
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
  const TMenuFit fit =
      FitMenu(geometry, list.Count(), [&](int i) { return FDesktop.MenuItemWidth(ExtractFileName(list[i])); });
  for (int i = 0; i < fit.Listed; ++i) {
    TMenuItem* item = AddMenuItem(ExtractFileName(list[i]), TNotifyEvent(this, &TForm1::ImageClick), rows);
    item->Tag = i;
    item->Hint = list[i];
  }
  return fit.More;
}

// With a picture per monitor the hint names each, in the monitors' order.
// While paused the hint ends in "(paused)"; the names are cut short so that
// the tip still shows it.
void TForm1::UpdateTrayHint() {
  std::string names;
  for (const std::string& source : FMonitorWallpapers)
    if (!source.empty()) names += (names.empty() ? "" : ", ") + ExtractFileName(source);
  if (FMonitorWallpapers.empty()) names = ExtractFileName(FCurrentWallpaper);
  const std::string time = FMinutesLeft != 0 ? "; Time: " + IntToStr(FMinutesLeft) + " Min" : "";
  TrayIcon1->SetHint(Paused() ? TTrayIcon::FitTip("Wallpaper: ", names, time + " (paused)")
                              : "Wallpaper: " + names + time);
}

// The group after the commands follows the state it acts on.
void TForm1::UpdateCommandItems() {
  const bool shown = !FCurrentWallpaper.empty();
  PreviousWallpaper1->Enabled = FHistory.HasOlder();
  PauseChanges1->Caption = Paused() ? "Resume Changes" : "Pause Changes";
  NeverShowThisAgain1->Enabled = shown;
  OpenFileLocation1->Enabled = shown;
}

// Every picture that becomes a wallpaper counts as shown in the random
// order's cycle; the current one (the primary monitor's) is the history's
// newest unless it came from there.
void TForm1::PicturesApplied(TRegIniFile& settings, const std::vector<std::string>& sources) {
  for (const std::string& source : sources)
    if (!source.empty()) FShuffle.Shown(source);
  if (!FSteppingBack) FHistory.Applied(settings, FCurrentWallpaper);
}

// Entries whose files are gone are dropped on the way, with one report
// that names them all. With a picture per monitor, the primary monitor goes
// back; the others keep theirs.
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
  SetMonitorWallpaper(PrimaryMonitor(Monitors()), path);
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

void TForm1::PreviousWallpaper1Click(TObject*) {
  RunChange([this] { PreviousWallpaper(); });
}

void TForm1::PauseChanges1Click(TObject*) { SetPaused(!Paused()); }

void TForm1::NeverShowThisAgain1Click(TObject*) {
  RunChange([this] { NeverShowThisAgain(); });
}

void TForm1::OpenFileLocation1Click(TObject*) {
  if (!FCurrentWallpaper.empty()) FDesktop.ShowInFolder(FCurrentWallpaper);
}

void TForm1::Hotkeys1Hotkey(TObject*, THotkeyCommand command) {
  switch (command) {
    case THotkeyCommand::hcNext: RunChange([this] { ChangeWallpaper(); }); break;
    case THotkeyCommand::hcPrevious: RunChange([this] { PreviousWallpaper(); }); break;
    case THotkeyCommand::hcPause: SetPaused(!Paused()); break;
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
    case TCommandVerb::cvPause: SetPaused(true); break;
    case TCommandVerb::cvResume: SetPaused(false); break;
    case TCommandVerb::cvExclude:
      if (!NeverShowThisAgain()) throw Exception("There is no wallpaper to exclude.");
      break;
    case TCommandVerb::cvSet: SetWallpaper(command.File); break;
    case TCommandVerb::cvExit: Close(); break;
  }
}
