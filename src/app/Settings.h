#pragma once
// Where the program's settings and the desktop's wallpaper values live, and
// every setting of section "Settings" the controller and its dialogs use,
// named once with its default, and the program's other sections.

#include <cstdint>
#include <memory>
#include <string>

#include "app/Placement.h"
#include "framework/RegIniFile.h"
#include "imaging/PictureKinds.h"

inline constexpr char KaleidonKey[] = "Software\\Trellwick\\Kaleidon";
inline constexpr char SettingsSection[] = "Settings";
inline constexpr char DesktopKey[] = "Control Panel\\desktop";
// The program's folder under the user's local application data: the same
// company and product as the settings key.
inline constexpr char AppDataFolder[] = "Trellwick\\Kaleidon";

// A value of section "Settings" and what an absent one reads as.
template <class T>
struct TSetting {
  const char* Name;
  T Default;
};

// The base directory's default is the program's own directory, known only
// when it runs: see ReadBaseDirectory.
inline constexpr char BaseDirectorySetting[] = "WPLocation";
inline constexpr TSetting<const char*> WallpaperSetting{"Wallpaper", ""};
inline constexpr TSetting<int32_t> ChangeTimeSetting{"Change Time", 0};
inline constexpr TSetting<bool> ChangePaperSetting{"Change Paper", false};
inline constexpr TSetting<bool> RandomPaperSetting{"Random Paper", true};
inline constexpr TSetting<bool> DisplayPapersSetting{"Display Papers", true};
// The size thresholds and the placement of each size class.
inline constexpr TSetting<int32_t> SmallWidthSetting{"Small Width", 0};
inline constexpr TSetting<int32_t> SmallHeightSetting{"Small Height", 0};
inline constexpr TSetting<int32_t> LargeWidthSetting{"Large Width", 0};
inline constexpr TSetting<int32_t> LargeHeightSetting{"Large Height", 0};
inline constexpr TSetting<int32_t> SmallTypeSetting{"Small Type", plStretchProportionally};
inline constexpr TSetting<int32_t> MiddleTypeSetting{"Middle Type", plStretchProportionally};
inline constexpr TSetting<int32_t> LargeTypeSetting{"Large Type", plStretchProportionally};
// Whether Stretch and Stretch Proportionally resample smoothly rather than by
// dropping and repeating pixels.
inline constexpr TSetting<bool> SmoothResizeSetting{"Smooth Resize", true};

// The catalogued picture kinds, each collected while its setting is on.
struct TKindSetting {
  TPictureFormat Format;
  TSetting<bool> Setting;
};
inline constexpr TKindSetting KindSettings[] = {
    {TPictureFormat::Jpeg, {"JPEG", true}}, {TPictureFormat::Gif, {"GIF", true}},
    {TPictureFormat::Bmp, {"BMP", true}},   {TPictureFormat::Pcx, {"PCX", true}},
    {TPictureFormat::Tiff, {"TIFF", true}}, {TPictureFormat::Png, {"PNG", true}},
    {TPictureFormat::WebP, {"WEBP", true}},
};
// The setting of a catalogued kind; std::logic_error for a kind without one.
const TSetting<bool>& KindSetting(TPictureFormat format);
// The pictures applied last, newest first (see History).
inline constexpr TSetting<const char*> HistorySetting{"History", ""};
// Timed changes wait while this is set.
inline constexpr TSetting<bool> PausedSetting{"Paused", false};
// The global hotkeys, as "Ctrl+Alt+Right" (see framework/Keys.h); empty is none.
inline constexpr TSetting<const char*> HotkeyNextSetting{"Hotkey Next", "Ctrl+Alt+Right"};
inline constexpr TSetting<const char*> HotkeyPreviousSetting{"Hotkey Previous", "Ctrl+Alt+Left"};
inline constexpr TSetting<const char*> HotkeyPauseSetting{"Hotkey Pause", "Ctrl+Alt+P"};

// The pictures never to be shown again: a section of its own, one value per
// picture (see Exclusions).
inline constexpr char ExcludedSection[] = "Excluded";

// How several monitors get their pictures; with one monitor every mode is
// mmSame. The stored value always wins; at the first start the program
// stores mmPerMonitor when the system reports several monitors, else mmSame.
enum TMonitorsMode : int32_t { mmSame = 0, mmPerMonitor = 1, mmAcross = 2 };
inline constexpr char MonitorsSetting[] = "Monitors";
// Per monitor: a portrait monitor prefers portrait pictures, a landscape one
// landscape pictures.
inline constexpr TSetting<bool> MatchOrientationSetting{"Match Orientation", true};
// The pictures of the monitors after the primary, in the monitors' order:
// "Wallpaper 2", "Wallpaper 3", ...; "Wallpaper" keeps the primary's.
std::string MonitorWallpaperSetting(int number);

// A store instance for one operation; let it go when the operation ends.
std::unique_ptr<TRegIniFile> OpenSettings();

std::string ReadSetting(const TRegIniFile& store, const TSetting<const char*>& setting);
int32_t ReadSetting(const TRegIniFile& store, const TSetting<int32_t>& setting);
bool ReadSetting(const TRegIniFile& store, const TSetting<bool>& setting);
void WriteSetting(TRegIniFile& store, const TSetting<const char*>& setting, const std::string& value);
void WriteSetting(TRegIniFile& store, const TSetting<int32_t>& setting, int32_t value);
void WriteSetting(TRegIniFile& store, const TSetting<bool>& setting, bool value);

// WPLocation, the program's directory (with its trailing delimiter) when absent.
std::string ReadBaseDirectory(const TRegIniFile& store);
