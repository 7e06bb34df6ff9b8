#include "imaging/Tiflzw.h"

#include <gtest/gtest.h>

#include <random>

#include "TiffTestFiles.h"

namespace {

std::vector<uint8_t> Noise(size_t size, unsigned seed, int levels = 256) {
  std::mt19937 random(seed);
  std::vector<uint8_t> data(size);
  for (auto& b : data) b = uint8_t(random() % unsigned(levels));
  return data;
}

// All rows of a strip decoded with the given row size, joined.
std::vector<uint8_t> DecodeRows(const std::vector<uint8_t>& strip, size_t rowSize, size_t rows) {
  TTIFLZWDec decoder(strip.data(), rowSize, strip.size());
  std::vector<uint8_t> out;
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* row = decoder.GetNextLine();
    out.insert(out.end(), row, row + rowSize);
  }
  return out;
}

}  // namespace

TEST(TTIFLZWDec_GetNextLine, CodesGrowFrom9To12BitsWithoutClear) {
  const auto data = Noise(3000, 1);  // about 2900 codes: the table passes 2046 but not 4094
  const auto strip = tifftest::LzwEncode(data);
  EXPECT_EQ(DecodeRows(strip, data.size(), 1), data);
}

TEST(TTIFLZWDec_GetNextLine, RowsOfOneAndSevenBytesGiveTheSameBytes) {
  const auto data = Noise(7 * 1500, 2, 4);  // few levels: long strings crossing the rows
  const auto strip = tifftest::LzwEncode(data);
  EXPECT_EQ(DecodeRows(strip, data.size(), 1), data);
  EXPECT_EQ(DecodeRows(strip, 1, data.size()), data);
  EXPECT_EQ(DecodeRows(strip, 7, data.size() / 7), data);
}

TEST(TTIFLZWDec_GetNextLine, ClearCodesWhenTheTableFills) {
  const auto data = Noise(40000, 3);
  const auto strip = tifftest::LzwEncode(data);
  EXPECT_EQ(DecodeRows(strip, 100, 400), data);
}

TEST(TTIFLZWDec_GetNextLine, ClearThenEndOfInformationEndsTheStrip) {
  const std::vector<uint8_t> strip = {0x80, 0x40, 0x40};  // 256, 257 in 9 bits
  TTIFLZWDec decoder(strip.data(), 4, strip.size());
  const uint8_t* row = decoder.GetNextLine();
  EXPECT_EQ(std::vector<uint8_t>(row, row + 4), std::vector<uint8_t>(4, 0));
  EXPECT_FALSE(decoder.LineComplete());
}

TEST(TTIFLZWDec_GetNextLine, StripWithoutLeadingClearCode) {
  // Codes 'A' 'B' 258 ("AB") 257, 9 bits each, no clear code first.
  const std::vector<uint8_t> strip = {0x20, 0x90, 0xA0, 0x50, 0x10};
  EXPECT_EQ(DecodeRows(strip, 4, 1), (std::vector<uint8_t>{'A', 'B', 'A', 'B'}));
}

TEST(TTIFLZWDec_GetNextLine, HostileCodesEndTheStripWithZeros) {
  const auto data = Noise(500, 4);
  auto strip = tifftest::LzwEncode(data);
  // A code far past the table right after the first three codes.
  auto bad = strip;
  bad[3] = 0xFF;
  bad[4] = 0xFF;
  TTIFLZWDec decoder(bad.data(), data.size(), bad.size());
  const uint8_t* row = decoder.GetNextLine();
  EXPECT_FALSE(decoder.LineComplete());
  EXPECT_EQ(row[data.size() - 1], 0);
  // Data cut short: what was decoded is right, the rest zero.
  const std::vector<uint8_t> cut(strip.begin(), strip.begin() + 100);
  const auto rows = DecodeRows(cut, data.size(), 2);
  EXPECT_EQ(std::vector<uint8_t>(rows.begin(), rows.begin() + 50),
            std::vector<uint8_t>(data.begin(), data.begin() + 50));
  EXPECT_EQ(rows.back(), 0);
  // Nothing at all.
  EXPECT_EQ(DecodeRows({}, 3, 2), std::vector<uint8_t>(6, 0));
}
