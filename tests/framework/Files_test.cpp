#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "TempDir.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"

namespace {

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

// More pieces than one gathered write takes, empty ones among them, over an
// existing file.
TEST(Files_WriteWholeFileAtomic, PiecesLandInOrderAndReplaceTheFile) {
  TTempDir dir;
  dir.Write("out.bin", "old contents that are longer than nothing");
  std::vector<std::string> texts;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    texts.push_back(i % 7 == 0 ? "" : std::string(size_t(i % 13), char('a' + i % 26)));
    expected += texts.back();
  }
  std::vector<std::span<const uint8_t>> pieces;
  for (const std::string& text : texts) pieces.emplace_back(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  WriteWholeFileAtomic(dir.Join("out.bin"), pieces);
  EXPECT_EQ(Text(ReadWholeFile(dir.Join("out.bin"))), expected);
}

TEST(Files_WriteWholeFileAtomic, MissingDirectoryFailsWithoutAFile) {
  TTempDir dir;
  EXPECT_THROW(WriteWholeFileAtomic(dir.Join("absent/out.bin"), "x", 1), EFCreateError);
  EXPECT_FALSE(DirectoryExists(dir.Join("absent")));
  WriteWholeFileAtomic(dir.Join("empty.bin"), "", 0);
  EXPECT_TRUE(FileExists(dir.Join("empty.bin")));
  EXPECT_TRUE(ReadWholeFile(dir.Join("empty.bin")).empty());
}
