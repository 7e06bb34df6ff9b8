// A locked file under the system's sharing rules: others may read (and run)
// it, but not write, rename or delete it while it is held.
#include <gtest/gtest.h>
#include <windows.h>

#include "TempDir.h"
#include "framework/Handles_win.h"
#include "framework/Streams.h"
#include "framework/Wide.h"

TEST(TLockedFile_Create, OthersMayReadButNotChangeItWhileItIsHeld) {
  TTempDir temp;
  temp.Write("held.exe", "MZ payload");
  const std::wstring name = Utf8ToWide(temp.Join("held.exe"));
  const std::wstring moved = Utf8ToWide(temp.Join("moved.exe"));
  {
    TLockedFile held(temp.Join("held.exe"));
    const TFileHandle reader(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader);
    const TFileHandle writer(CreateFileW(name.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    EXPECT_FALSE(writer);
    EXPECT_FALSE(DeleteFileW(name.c_str()));
    EXPECT_FALSE(MoveFileW(name.c_str(), moved.c_str()));
    char bytes[64];
    EXPECT_EQ(std::string(bytes, held.Read(bytes, sizeof bytes)), "MZ payload");
    EXPECT_EQ(held.Read(bytes, sizeof bytes), 0u);
  }
  EXPECT_TRUE(DeleteFileW(name.c_str()));
}
