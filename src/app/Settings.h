#pragma once
// Where the program's settings and the desktop's wallpaper values live.

#include <memory>

#include "framework/RegIniFile.h"

inline constexpr char KaleidonKey[] = "Software\\Trellwick\\Kaleidon";
inline constexpr char SettingsSection[] = "Settings";
inline constexpr char DesktopKey[] = "Control Panel\\desktop";
// The program's folder under the user's local application data: the same
// company and product as the settings key.
inline constexpr char AppDataFolder[] = "Trellwick\\Kaleidon";

// A store instance for one operation; let it go when the operation ends.
std::unique_ptr<TRegIniFile> OpenSettings();
