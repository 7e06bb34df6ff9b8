#include <gtest/gtest.h>

#include "framework/Keys.h"

TEST(Keys_ParseHotkey, CombinationsAndTheirText) {
  const struct {
    const char* Text;
    THotkey Hotkey;
    const char* Written;
  } cases[] = {
      {"Ctrl+Alt+Right", {hkCtrl | hkAlt, 0x27}, "Ctrl+Alt+Right"},
      {" alt + ctrl + p ", {hkCtrl | hkAlt, 'P'}, "Ctrl+Alt+P"},
      {"Win+Shift+F12", {hkWin | hkShift, 0x7B}, "Shift+Win+F12"},
      {"F24", {0, 0x87}, "F24"},
      {"Ctrl+7", {hkCtrl, '7'}, "Ctrl+7"},
      {"Ctrl+Num7", {hkCtrl, 0x67}, "Ctrl+Num7"},
      {"Alt+PageDown", {hkAlt, 0x22}, "Alt+PageDown"},
      {"Ctrl+Plus", {hkCtrl, 0xBB}, "Ctrl+Plus"},
      {"Ctrl+Key226", {hkCtrl, 226}, "Ctrl+Key226"},
      {"Ctrl+Key65", {hkCtrl, 'A'}, "Ctrl+A"},
      {"", {}, ""},
      {"  ", {}, ""},
  };
  for (const auto& c : cases) {
    THotkey hotkey{hkAlt, 1};
    ASSERT_TRUE(ParseHotkey(c.Text, hotkey)) << c.Text;
    EXPECT_EQ(hotkey, c.Hotkey) << c.Text;
    EXPECT_EQ(HotkeyText(hotkey), c.Written) << c.Text;
  }
}

TEST(Keys_ParseHotkey, RefusesWhatIsNoCombination) {
  for (const char* text : {"Ctrl+Alt", "Ctrl+Ctrl+A", "Ctrl++", "A+Ctrl", "Hyper+A", "F0", "F25", "F+5", "Key0",
                           "Key255", "Num10", "Ctrl+", "+A", "AB"}) {
    THotkey hotkey{hkAlt, 'X'};
    EXPECT_FALSE(ParseHotkey(text, hotkey)) << text;
    EXPECT_EQ(hotkey, (THotkey{hkAlt, 'X'})) << text;
  }
}
