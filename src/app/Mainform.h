#pragma once
// The main controller: a form that is never shown, owning the components that
// do the work. It starts up from the settings, counts down to the next timed
// change, builds the wallpaper catalogue, chooses the next wallpaper and
// applies it, and carries out the tray menu's commands.

#include <cstdint>
#include <functional>
#include <string>

#include "app/Catalogue.h"
#include "app/CommandLine.h"
#include "app/Desktop.h"
#include "app/DialogCommands.h"
#include "app/History.h"
#include "app/Hotkeys.h"
#include "app/Shuffle.h"
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

  // What the options dialog sets after OK, and what the tray hint and menu show.
  const std::string& BaseDir() const { return FBaseDir; }
  void SetBaseDir(const std::string& baseDir) { FBaseDir = baseDir; }
  const std::string& CurrentWallpaper() const { return FCurrentWallpaper; }
  int32_t MinutesLeft() const { return FMinutesLeft; }
  const TStringList& WallpaperList() const { return *FWallpaperList; }

private:
  // The one bitmap the desktop shows: "<local application data>\Trellwick\Kaleidon\Kaleidon.bmp".
  std::string BitmapPath();
  int PlacementFor(TRegIniFile& settings);
  void CreateMenu();
  bool AddWallpaperItems(int rows);
  TMenuItem* AddMenuItem(const std::string& caption, const TNotifyEvent& onClick, int rows);
  void UpdateCommandItems();
  void PictureApplied(TRegIniFile& settings, const std::string& path);
  void ExcludePicture(const std::string& path);

  TDesktop& FDesktop;
  TDialogCommands& FDialogs;
  std::string FBaseDir;
  std::string FCurrentWallpaper;
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
