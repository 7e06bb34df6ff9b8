#pragma once
// The main controller: a form that is never shown, owning the components that
// do the work. It starts up from the settings, counts down to the next timed
// change, builds the wallpaper catalogue, chooses the next wallpaper and
// applies it, and carries out the tray menu's commands.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Catalogue.h"
#include "app/CommandLine.h"
#include "app/Desktop.h"
#include "app/DialogCommands.h"
#include "app/History.h"
#include "app/Hotkeys.h"
#include "app/Shuffle.h"
#include "app/Monitors.h"
#include "app/Settings.h"
#include "app/Sysinfo.h"
#include "app/Trayicon.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/RegIniFile.h"
#include "framework/StringList.h"
#include "framework/Timer.h"
#include "imaging/Imageholder.h"

class TForm1 : public TForm {
public:
  // Creates the components, shows the tray icon, then runs FormCreate. A
  // desktop other than the platform's, and dialogs, are handed in.
  explicit TForm1(TComponent* AOwner, TDesktop& desktop = PlatformDesktop(), TDialogCommands& dialogs = NoDialogs());
  ~TForm1() override;

  TImageHolder* ImageHolder1;
  TTimer* Timer1;
  TTrayIcon* TrayIcon1;
  TSysInfo* SysInfo1;
  TPopupMenu* PopupMenu1;
  TMenuItem* ChagePaper1;
  TMenuItem* ConfigureKaleidon1;
  TMenuItem* WallpaperList2;
  TMenuItem* AboutKaleidon1;
  TMenuItem* N1;
  TMenuItem* PreviousWallpaper1;
  TMenuItem* PauseChanges1;
  TMenuItem* NeverShowThisAgain1;
  TMenuItem* OpenFileLocation1;
  TMenuItem* N2;
  TMenuItem* Exit1;  // the menu's current "Exit" item, made anew by each rebuild
  THotkeys* Hotkeys1;
  TTimer* DisplayTimer;  // composes the pictures anew once a layout change has settled

  // Handlers.
  void FormCreate();
  void FormDestroy();
  void Timer1Timer(TObject* sender);
  void TrayIcon1DblClick(TObject* sender);
  void ConfigureKaleidon1Click(TObject* sender);
  void WallpaperLisr1Click(TObject* sender);
  void AboutKaleidon1Click(TObject* sender);
  void Exit1Click(TObject* sender);
  void InvalidDirectory(TObject* sender, const std::string& NewDir);
  void PopupMenu1Popup(TObject* sender);
  void ImageClick(TObject* sender);
  void PreviousWallpaper1Click(TObject* sender);
  void PauseChanges1Click(TObject* sender);
  void NeverShowThisAgain1Click(TObject* sender);
  void OpenFileLocation1Click(TObject* sender);
  void Hotkeys1Hotkey(TObject* sender, THotkeyCommand command);
  void FormDisplayChange(TObject* sender);
  void DisplayTimerTimer(TObject* sender);

  // Operations of the controller.
  void ChangeWallpaper();
  void BuildWallpaperList();
  void SetWallpaper(const std::string& sourcePath);
  void BuildPopupMenu();
  void UpdateTrayHint();
  bool ScrollingMenus();
  void SetChangeTimer(int32_t minutes);
  // Runs a wallpaper change (ChangeWallpaper, SetWallpaper) for a user's or
  // the timer's request, showing what it raises; false when it failed.
  bool RunChange(const std::function<void()>& change);

  // Steps back through the history; false when there is nothing earlier.
  bool PreviousWallpaper();
  // Timed changes wait while paused; the setting Paused remembers it.
  bool Paused();
  void SetPaused(bool paused);
  // Excludes the current wallpaper and changes it; false without one.
  bool NeverShowThisAgain();
  // (Re)registers the hotkeys of the settings, reporting what cannot be.
  void RegisterHotkeys();
  // A command from the command line; what it raises is its failure.
  void RunCommand(const TCommand& command);
  const TWallpaperHistory& History() const { return FHistory; }
  // Several monitors. The monitors in the program's order, as the system
  // reports them now; the mode in force for them (mmSame with one monitor).
  std::vector<TMonitor> Monitors();
  TMonitorsMode MonitorsMode(const std::vector<TMonitor>& monitors);
  // In mmPerMonitor, the picture for one monitor (an index of Monitors()),
  // the others keeping theirs; in the other modes as SetWallpaper.
  void SetMonitorWallpaper(int monitor, const std::string& sourcePath);
  // The monitors' layout changed: their current pictures are composed anew
  // for it, none chosen afresh; a picture whose monitor went is dropped.
  void DisplayChanged();
  // Shows the current pictures again as the monitors mode now asks; a
  // monitor without a picture of its own takes the primary's.
  void ShowCurrentPictures();
  // The pictures the monitors show in mmPerMonitor, in their order; empty
  // in the other modes.
  const std::vector<std::string>& MonitorWallpapers() const { return FMonitorWallpapers; }

  // What the options dialog sets after OK, and what the tray hint and menu show.
  const std::string& BaseDir() const { return FBaseDir; }
  void SetBaseDir(const std::string& baseDir) { FBaseDir = baseDir; }
  const std::string& CurrentWallpaper() const { return FCurrentWallpaper; }
  int32_t MinutesLeft() const { return FMinutesLeft; }
  const TStringList& WallpaperList() const { return *FWallpaperList; }

private:
  // A picture placed for its part of the screen, and the part.
  struct TPlaced {
    std::string Source;
    TBitmap Picture;
    bool Tiled = false;
    TScreenRect Area;
  };

  // The one bitmap the desktop shows: "<local application data>\Trellwick\Kaleidon\Kaleidon.bmp".
  std::string BitmapPath();
  int PlacementFor(TRegIniFile& settings);
  void LoadPicture(const std::string& sourcePath);
  TPlaced Place(const std::string& sourcePath, const TScreenRect& area, TRegIniFile& settings);
  void ChangePerMonitor(const std::vector<TMonitor>& monitors, TRegIniFile& settings);
  std::vector<int> CandidateOrder(const std::vector<TMonitor>& monitors, bool randomOrder);
  TPlaced PlaceForMonitor(const TMonitor& monitor, const std::vector<int>& order, std::vector<bool>& taken,
                          TRegIniFile& settings);
  void ShowPerMonitor(const std::vector<TMonitor>& monitors, std::vector<std::string> sources);
  void ShowComposed(const std::vector<TMonitor>& monitors, std::vector<TPlaced> placed, TRegIniFile& settings);
  void ShowBitmap(const std::string& bitmapPath, int placement);
  std::vector<std::string> CurrentSources(const std::vector<TMonitor>& monitors) const;
  void RestoreMonitorWallpapers(const std::vector<TMonitor>& monitors, const TRegIniFile& settings);
  void CreateMenu();
  bool AddWallpaperItems(int rows);
  TMenuItem* AddMenuItem(const std::string& caption, const TNotifyEvent& onClick, int rows);
  void UpdateCommandItems();
  void PicturesApplied(TRegIniFile& settings, const std::vector<std::string>& sources);
  void ExcludePicture(const std::string& path);

  TDesktop& FDesktop;
  TDialogCommands& FDialogs;
  std::string FBaseDir;
  std::string FCurrentWallpaper;
  std::vector<std::string> FMonitorWallpapers;
  std::vector<std::string> FMonitorNames;         // the monitors FMonitorWallpapers were shown on
  std::map<std::string, bool> FPortraitPictures;  // the shapes of the pictures loaded so far
  std::string FDecodedSource;                     // the picture the holder holds as decoded, if any
  int32_t FMinutesLeft = 0;
  TCatalogueSearch* FDirFinder = nullptr;
  TStringList* FWallpaperList = nullptr;
  int FFixedItems = 0;  // the menu's items before the wallpaper items
  TWallpaperHistory FHistory;
  bool FSteppingBack = false;  // a picture applied from the history is not added to it
  TShuffle FShuffle;
  // While an invalid directory is reported (its box or the options dialog
  // it opened is up), no further report is made and timed changes wait.
  bool FReporting = false;
  unsigned FReports = 0;  // reports made so far
  // While the box of a failed change is up, no other is shown and timed changes wait.
  bool FChangeFailureShown = false;
};
