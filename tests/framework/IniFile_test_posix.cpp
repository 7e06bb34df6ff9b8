// Where the settings store keeps its keys on a system without a registry.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "SettingsSandbox.h"
#include "framework/IniFile.h"
#include "framework/RegIniFile.h"
#include "framework/Registry.h"

namespace {

std::set<std::string> StoreFiles() {
  std::set<std::string> files;
  const std::filesystem::path root = IniStoreRoot();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.insert(std::filesystem::relative(entry.path(), root).string());
  return files;
}

}  // namespace

TEST(IniFile_Keys, EachKeyHasOneFileWhicheverClassOpensItAndNoLockFilesRemain) {
  TSettingsSandbox sandbox;
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("Control Panel\\desktop"));
  registry.WriteString("Wallpaper", "C:\\windows\\Kaleidon.bmp");
  TRegIniFile desktop("Control Panel\\desktop");
  TRegIniFile panel("Control Panel");
  panel.WriteString("desktop", "TileWallpaper", "0");
  TRegIniFile store("Software\\Trellwick\\Kaleidon");
  store.WriteBool("Settings", "JPEG", false);
  EXPECT_EQ(panel.ReadString("desktop", "Wallpaper", ""), "C:\\windows\\Kaleidon.bmp");
  EXPECT_EQ(StoreFiles(),
            (std::set<std::string>{"Control Panel.ini", "Software/Trellwick.ini", "Software/Trellwick/Kaleidon.ini"}));
}

TEST(IniFile_Text, SectionsAddedEmptySurviveARoundTrip) {
  TIniFile ini;
  EXPECT_TRUE(ini.AddSection("Kaleidon"));
  EXPECT_FALSE(ini.AddSection("kaleidon"));
  ini.Set("Settings", "WPLocation", "C:\\a\nb");
  const TIniFile again = TIniFile::Parse(ini.Text());
  std::string value;
  ASSERT_TRUE(again.Get("SETTINGS", "wplocation", value));
  EXPECT_EQ(value, "C:\\a\nb");
  EXPECT_EQ(again.Text(), ini.Text());
}

// Names are paths at times: "=", a leading "[" or ";" and line breaks survive.
TEST(IniFile_Text, NamesOfAnyTextSurviveARoundTrip) {
  TIniFile ini;
  const std::vector<std::string> names{"C:\\a=b.jpg", "[x]", ";y", "z\\", "line\nbreak"};
  for (const std::string& name : names) ini.Set("Excluded", name, "");
  const TIniFile again = TIniFile::Parse(ini.Text());
  EXPECT_EQ(again.Names("Excluded"), names);
  TIniFile removed = again;
  EXPECT_TRUE(removed.Remove("Excluded", "[X]"));
  EXPECT_FALSE(removed.Remove("Excluded", "[X]"));
  EXPECT_EQ(removed.Names("Excluded").size(), names.size() - 1);
}
