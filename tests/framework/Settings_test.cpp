#include <gtest/gtest.h>

#include "SettingsSandbox.h"
#include "framework/Exceptions.h"
#include "framework/RegIniFile.h"
#include "framework/Registry.h"

namespace {

constexpr char Key[] = "Software\\Trellwick\\Kaleidon";

std::string Stored(const std::string& name) { return TRegIniFile(Key).ReadString("Settings", name, "<absent>"); }

}  // namespace

TEST(RegIniFile_Read, MissingKeySectionOrValueGivesTheDefault) {
  TSettingsSandbox sandbox;
  TRegIniFile store(Key);
  EXPECT_EQ(store.ReadString("Settings", "WPLocation", "dflt"), "dflt");
  EXPECT_EQ(store.ReadInteger("Settings", "Change Time", 7), 7);
  EXPECT_TRUE(store.ReadBool("Settings", "JPEG", true));
  EXPECT_FALSE(store.ReadBool("Nowhere", "JPEG", false));
}

TEST(RegIniFile_Read, IntegersAndBooleansFollowTheTextRules) {
  TSettingsSandbox sandbox;
  TRegIniFile store(Key);
  const struct {
    const char* Text;
    int Integer;  // read with default 9
    bool Bool;    // read with default true
  } cases[] = {
      {"05", 5, true}, {"letters", 9, true}, {"2", 2, true},  {"-1", -1, true},
      {"0", 0, false}, {"", 9, true},        {" 3", 9, true}, {"99999999999", 9, true},
  };
  for (const auto& c : cases) {
    store.WriteString("Settings", "Value", c.Text);
    EXPECT_EQ(store.ReadInteger("Settings", "Value", 9), c.Integer) << c.Text;
    EXPECT_EQ(store.ReadBool("Settings", "Value", true), c.Bool) << c.Text;
  }
}

TEST(RegIniFile_Write, EverythingIsStoredAsText) {
  TSettingsSandbox sandbox;
  {
    TRegIniFile store(Key);
    store.WriteBool("Settings", "Change Paper", true);
    store.WriteBool("Settings", "JPEG", false);
    store.WriteInteger("Settings", "Change Time", -15);
    store.WriteString("Settings", "WPLocation", "C:\\Bilder\\Ürlaub");
    store.WriteString("Settings", "Empty", "");
  }
  EXPECT_EQ(Stored("Change Paper"), "1");
  EXPECT_EQ(Stored("JPEG"), "0");
  EXPECT_EQ(Stored("Change Time"), "-15");
  EXPECT_EQ(Stored("WPLocation"), "C:\\Bilder\\Ürlaub");
  EXPECT_EQ(Stored("Empty"), "");
}

TEST(RegIniFile_Write, NextInstanceSeesTheValueAtOnce) {
  TSettingsSandbox sandbox;
  TRegIniFile reader(Key);
  EXPECT_EQ(reader.ReadInteger("Settings", "Change Time", 0), 0);
  TRegIniFile(Key).WriteInteger("Settings", "Change Time", 12);
  EXPECT_EQ(reader.ReadInteger("Settings", "Change Time", 0), 12);
}

TEST(RegIniFile_Write, TextWithLineBreaksAndEqualsSignsSurvives) {
  TSettingsSandbox sandbox;
  const std::string text = "a=b\nc\\d\r[e]";
  TRegIniFile(Key).WriteString("Settings", "Odd", text);
  EXPECT_EQ(Stored("Odd"), text);
}

TEST(RegIniFile_ValueNames, ListsWhatIsThereAndDeletesOneByName) {
  TSettingsSandbox sandbox;
  TRegIniFile store(Key);
  EXPECT_TRUE(store.ValueNames("Excluded").empty());
  store.DeleteValue("Excluded", "C:\\x.jpg");  // nothing there: nothing happens
  for (const char* path : {"C:\\x.jpg", "D:\\a=b\\y.gif", "E:\\z.bmp"}) store.WriteString("Excluded", path, "");
  store.DeleteValue("Excluded", "c:\\X.JPG");
  EXPECT_EQ(store.ValueNames("Excluded"), (std::vector<std::string>{"D:\\a=b\\y.gif", "E:\\z.bmp"}));
}

TEST(Registry_WriteString, DesktopValuesAreReadableText) {
  TSettingsSandbox sandbox;
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("Control Panel\\desktop"));
  registry.WriteString("TileWallpaper", "1");
  registry.CloseKey();
  EXPECT_EQ(TRegIniFile("Control Panel").ReadString("desktop", "TileWallpaper", ""), "1");
  EXPECT_THROW(registry.WriteString("Wallpaper", "x"), ERegistryException);
}
