#pragma once
// Where the program's settings and the desktop's wallpaper values live.

#include <memory>

#include "framework/RegIniFile.h"
#include "imaging/PictureKinds.h"

inline constexpr char KaleidonKey[] = "Software\\Trellwick\\Kaleidon";
inline constexpr char SettingsSection[] = "Settings";
inline constexpr char DesktopKey[] = "Control Panel\\desktop";

// A store instance for one operation; let it go when the operation ends.
std::unique_ptr<TRegIniFile> OpenSettings();

// The catalogued picture kinds, each collected while its boolean setting is on.
struct TKindSetting {
  TPictureFormat Format;
  const char* Name;
  bool Default;
};
inline constexpr TKindSetting KindSettings[] = {
    {TPictureFormat::Jpeg, "JPEG", true}, {TPictureFormat::Gif, "GIF", true},   {TPictureFormat::Bmp, "BMP", true},
    {TPictureFormat::Pcx, "PCX", true},   {TPictureFormat::Tiff, "TIFF", true}, {TPictureFormat::Png, "PNG", true},
    {TPictureFormat::WebP, "WEBP", true},
};

// The setting of a catalogued kind; std::logic_error for a kind without one.
const TKindSetting& KindSetting(TPictureFormat format);
