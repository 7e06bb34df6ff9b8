// What only the registry has: values of other types than text, which other
// programs may have stored under the program's key.

#include <gtest/gtest.h>
#include <windows.h>

#include "SettingsSandbox.h"
#include "framework/Exceptions.h"
#include "framework/RegIniFile.h"

TEST(RegIniFile_Read, NumberTypedValueIsAnInvalidDataType) {
  TSettingsSandbox sandbox;
  const DWORD five = 5;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Trellwick\\Kaleidon\\Settings", L"Change Time", REG_DWORD,
                            &five, sizeof five),
            ERROR_SUCCESS);
  try {
    TRegIniFile("Software\\Trellwick\\Kaleidon").ReadInteger("Settings", "Change Time", 0);
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Change Time'");
  }
}
