#include "imaging/Tifccitt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "RegressionFiles.h"

namespace {

// Bits written as text ("1100 10"), first bit in the high bit of byte 0,
// padded with zeros to whole bytes.
std::vector<uint8_t> Bits(const std::string& text) {
  std::vector<uint8_t> out;
  int n = 0;
  for (char c : text) {
    if (c != '0' && c != '1') continue;
    if (n % 8 == 0) out.push_back(0);
    if (c == '1') out.back() |= uint8_t(0x80 >> (n % 8));
    ++n;
  }
  return out;
}

std::vector<uint8_t> Reversed(std::vector<uint8_t> data) {
  for (auto& b : data) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i) r = uint8_t(r | ((b >> i & 1) << (7 - i)));
    b = r;
  }
  return data;
}

// A 16-pixel row from pixel text: 'w' white (set bit), 'b' black.
std::vector<uint8_t> Row(const std::string& pixels) {
  std::vector<uint8_t> row((pixels.size() + 7) / 8, 0);
  for (size_t i = 0; i < pixels.size(); ++i)
    if (pixels[i] == 'w') row[i / 8] |= uint8_t(0x80 >> (i % 8));
  return row;
}

const std::string EOL = "000000000001";

uint64_t BitCount(const std::string& text) {
  return uint64_t(std::count_if(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; }));
}

}  // namespace

TEST(CCITTHuffmanGetLine, DecodesRunsAndCountsWholeBytes) {
  const auto data = Bits("1100 10 10011 0000 1011");  // W5 B3 W8, then the next row
  std::vector<uint8_t> row(2, 0x55);
  EXPECT_EQ(CCITTHuffmanGetLine(row.data(), data.data(), data.size(), 16, 1), 2u);
  EXPECT_EQ(row, Row("wwwwwbbbwwwwwwww"));
}

TEST(CCITTHuffmanGetLine, FillOrder2ReadsTheReversedBytes) {
  const auto data = Reversed(Bits("11011 1000 010 0111 11"));  // W64 W3 B1 W2 B2, width 72
  std::vector<uint8_t> row(9);
  EXPECT_EQ(CCITTHuffmanGetLine(row.data(), data.data(), data.size(), 72, 2), 3u);
  // 67 white, 1 black, 2 white, 2 black
  EXPECT_EQ(std::vector<uint8_t>(row.begin(), row.begin() + 8), std::vector<uint8_t>(8, 0xFF));
  EXPECT_EQ(row[8], 0b11101100);
}

TEST(_CCITTHuffmanGetLine, EndOfLineCodesWithFillZerosAndEarlyEnd) {
  const std::string first = EOL + "1100 10 10011";            // W5 B3 W8
  const std::string second = "000" + EOL + "1011 011" + EOL;  // fill zeros; W4 B4, then an early end
  const auto data = Bits(first + second + EOL);
  std::vector<uint8_t> row(2);
  uint64_t pos = _CCITTHuffmanGetLine(row.data(), data.data(), data.size(), 16, 1, 0);
  EXPECT_EQ(pos, BitCount(first));
  EXPECT_EQ(row, Row("wwwwwbbbwwwwwwww"));
  pos = _CCITTHuffmanGetLine(row.data(), data.data(), data.size(), 16, 1, pos);
  EXPECT_EQ(pos, BitCount(first + second));
  EXPECT_EQ(row, Row("wwwwbbbbwwwwwwww"));
}

TEST(CCITT3_2D_GetLine, VerticalPassAndHorizontalModes) {
  TCcittRows faxRows;
  std::vector<uint8_t> row(2);
  const std::string rows[] = {
      "001 1100 10 1",  // horizontal W5 B3, V0 (against the all-white row)
      "1 1 1",          // V0 V0 V0: the row before again
      "011 010 1",      // VR1 VL1 V0
      "0001 1",         // pass, V0
      "001 1000 11 1",  // horizontal W3 B2, V0
  };
  const char* expected[] = {"wwwwwbbbwwwwwwww", "wwwwwbbbwwwwwwww", "wwwwwwbwwwwwwwww", "wwwwwwwwwwwwwwww",
                            "wwwbbwwwwwwwwwww"};
  const std::vector<int> changes[] = {{5, 8, 16}, {5, 8, 16}, {6, 7, 16}, {16}, {3, 5, 16}};
  std::string all;
  for (const auto& r : rows) all += r;
  const auto data = Bits(all);
  uint64_t pos = 0;
  for (size_t i = 0; i < 5; ++i) {
    pos = CCITT3_2D_GetLine(row.data(), data.data(), data.size(), 16, 1, pos, faxRows);
    EXPECT_EQ(row, Row(expected[i])) << i;
    EXPECT_EQ(faxRows.Reference, changes[i]) << i;
  }
  EXPECT_EQ(pos, 10u + 3 + 7 + 5 + 10);
}

// Encoders code zero-length runs (white 0 and black 0 at the start of a row)
// and vertical modes with a1 = a0; the next row finds b1 and b2 among the
// changing elements as coded, repeats included. Both strips are G4 pages of
// 16 by 2 that libtiff decodes to the rows below.
TEST(CCITT3_2D_GetLine, ReferenceKeepsZeroLengthRuns) {
  const struct {
    std::vector<uint8_t> Strip;
    const char* Second;
  } cases[] = {
      {{0x26, 0xa1, 0xb9, 0xb7, 0x12, 0xf4, 0x00, 0x40, 0x04}, "wwbbbwwwwwwwwwww"},  // pass onto b2 = 0, H W2 B3, V0
      {{0x26, 0xa1, 0xb9, 0xb7, 0x88, 0x00, 0x80, 0x08}, "bbbbbbbbbbbbbbbb"},        // V0 onto b1 = 0, pass
  };
  for (const auto& c : cases) {
    TCcittRows faxRows;
    std::vector<uint8_t> row(2);
    uint64_t pos = CCITT3_2D_GetLine(row.data(), c.Strip.data(), c.Strip.size(), 16, 1, 0, faxRows);
    EXPECT_EQ(row, Row("wwwwbbbbwwwwwwww"));
    EXPECT_EQ(faxRows.Reference, (std::vector<int>{0, 0, 4, 8, 16}));  // H W0 B0, H W4 B4, V0
    CCITT3_2D_GetLine(row.data(), c.Strip.data(), c.Strip.size(), 16, 1, pos, faxRows);
    EXPECT_EQ(row, Row(c.Second)) << c.Second;
  }
}

// A one-dimensional row inside two-dimensional data gives its run ends,
// zero-length runs included, as the next row's changing elements.
TEST(CCITT3_2D_GetLine, OneDimensionalRowKeepsItsZeroLengthRuns) {
  TCcittRows faxRows;
  std::vector<uint8_t> row(2);
  // 1-D: W0 B2 W14; 2-D: V0 (onto b1 = 0), VR1 (b1 = 2), V0 (b1 = 16)
  const auto data = Bits(EOL + "1" + "00110101 11 110100" + EOL + "0" + "1 011 1");
  uint64_t pos = CCITT3_2D_GetLine(row.data(), data.data(), data.size(), 16, 1, 0, faxRows);
  EXPECT_EQ(row, Row("bbwwwwwwwwwwwwww"));
  EXPECT_EQ(faxRows.Reference, (std::vector<int>{0, 2, 16}));
  pos = CCITT3_2D_GetLine(row.data(), data.data(), data.size(), 16, 1, pos, faxRows);
  EXPECT_EQ(row, Row("bbbwwwwwwwwwwwww"));
  EXPECT_EQ(pos, 2 * EOL.size() + 2 + 16 + 5);
}

TEST(CCITT3_2D_GetLine, T4TagBitChoosesOneOrTwoDimensions) {
  TCcittRows faxRows;
  std::vector<uint8_t> row(2);
  const auto data = Bits(EOL + "1" + "1100 10 10011" + EOL + "0" + "011 1 1" + EOL + "1");
  uint64_t pos = CCITT3_2D_GetLine(row.data(), data.data(), data.size(), 16, 1, 0, faxRows);
  EXPECT_EQ(row, Row("wwwwwbbbwwwwwwww"));
  pos = CCITT3_2D_GetLine(row.data(), data.data(), data.size(), 16, 1, pos, faxRows);
  EXPECT_EQ(row, Row("wwwwwwbbwwwwwwww"));  // VR1, V0, V0
  EXPECT_EQ(pos, 2 * EOL.size() + 2 + 11 + 5);
}

TEST(CCITT3_2D_GetLine, FillOrder2GivesTheSameRows) {
  const auto data = Bits("001 1000 11 1 011 010 1 0001 1");
  const auto reversed = Reversed(data);
  TCcittRows rows1, rows2;
  std::vector<uint8_t> row1(2), row2(2);
  uint64_t pos1 = 0, pos2 = 0;
  for (int i = 0; i < 3; ++i) {
    pos1 = CCITT3_2D_GetLine(row1.data(), data.data(), data.size(), 16, 1, pos1, rows1);
    pos2 = CCITT3_2D_GetLine(row2.data(), reversed.data(), reversed.size(), 16, 2, pos2, rows2);
    EXPECT_EQ(row1, row2);
    EXPECT_EQ(pos1, pos2);
  }
}

// Data that can only end (zeros to the end of the data) is used up, so that a
// strip of many rows stops at once instead of failing on it row after row.
TEST(CCITTDecoders, DataEndingEarlyCompletesTheRowWithWhite) {
  const auto data = Bits("1011 011");  // W4 B4, then one zero bit
  std::vector<uint8_t> row(3, 0);
  TCcittRows faxRows;
  EXPECT_EQ(_CCITTHuffmanGetLine(row.data(), data.data(), data.size(), 20, 1, 0), 8u);
  EXPECT_EQ(row, Row("wwwwbbbbwwwwwwwwwwww"));
  EXPECT_EQ(CCITT3_2D_GetLine(row.data(), data.data(), 0, 20, 1, 0, faxRows), 0u);
  EXPECT_EQ(row, Row("wwwwwwwwwwwwwwwwwwww"));

  const std::vector<uint8_t> zeros(40, 0);
  EXPECT_EQ(CCITTHuffmanGetLine(row.data(), zeros.data(), zeros.size(), 20, 1), zeros.size());
  EXPECT_EQ(_CCITTHuffmanGetLine(row.data(), zeros.data(), zeros.size(), 20, 2, 3), zeros.size() * 8);
  EXPECT_EQ(CCITT3_2D_GetLine(row.data(), zeros.data(), zeros.size(), 20, 1, 5, faxRows), zeros.size() * 8);
  const auto cutHorizontal = Bits("001 1011");  // horizontal mode, W4, then the data ends
  EXPECT_EQ(CCITT3_2D_GetLine(row.data(), cutHorizontal.data(), cutHorizontal.size(), 20, 1, 0, faxRows), 8u);
}

// Whatever the bits, every call ends inside the data, and each row is bounded.
TEST(CCITTDecoders, HostileBitsStayInsideTheData) {
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> data(size_t(random() % 64));
    const int fill = round % 3 == 0 ? 0x00 : round % 3 == 1 ? 0xFF : -1;
    for (auto& b : data) b = fill >= 0 ? uint8_t(fill) : uint8_t(random());
    const int width = 1 + int(random() % 3000);
    std::vector<uint8_t> row((size_t(width) + 7) / 8);
    TCcittRows faxRows;
    uint64_t a = 0, b = 0;
    for (int line = 0; line < 20; ++line) {
      a = _CCITTHuffmanGetLine(row.data(), data.data(), data.size(), width, 1 + line % 2, a);
      b = CCITT3_2D_GetLine(row.data(), data.data(), data.size(), width, 1 + line % 2, b, faxRows);
      ASSERT_LE(a, data.size() * 8);
      ASSERT_LE(b, data.size() * 8);
    }
    ASSERT_LE(CCITTHuffmanGetLine(row.data(), data.data(), data.size(), width, 1), data.size());
  }
}

TEST(CCITT3_2D_GetLine, ModeCodeMatchingNothingSkips12Bits) {
  const auto data = Bits(
      "000000001 000"
      "1");  // 12 bits that are no mode code, then V0
  std::vector<uint8_t> row(2, 0);
  TCcittRows faxRows;
  EXPECT_EQ(CCITT3_2D_GetLine(row.data(), data.data(), data.size(), 16, 1, 0, faxRows), 13u);
  EXPECT_EQ(row, Row("wwwwwwwwwwwwwwww"));
}

// The inputs kept under tests/data/ccitt/bad/, read as fuzz/CcittFuzz reads
// them and given to all three decoders: every call ends inside the data, a
// row keeps at most 2 × width + 4 changing elements, and no file hangs.
TEST(CCITTDecoders, RegressionFilesStayInsideTheirData) {
  const auto files = RegressionFiles("ccitt");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 4u);
    const int width = 1 + (bytes[1] | bytes[2] << 8), rows = 1 + bytes[3], fillOrder = bytes[0] & 0x80 ? 2 : 1;
    const uint8_t* strip = bytes.data() + 4;
    const size_t size = bytes.size() - 4;
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> row((size_t(width) + 7) / 8);
    TCcittRows faxRows;
    uint64_t oneD = 0, twoD = 0;
    size_t huffman = 0;
    for (int r = 0; r < rows; ++r) {
      huffman += CCITTHuffmanGetLine(row.data(), strip + huffman, size - huffman, width, fillOrder);
      oneD = _CCITTHuffmanGetLine(row.data(), strip, size, width, fillOrder, oneD);
      twoD = CCITT3_2D_GetLine(row.data(), strip, size, width, fillOrder, twoD, faxRows);
      ASSERT_LE(huffman, size);
      ASSERT_LE(oneD, uint64_t(size) * 8);
      ASSERT_LE(twoD, uint64_t(size) * 8);
      ASSERT_LE(faxRows.Reference.size(), 2 * size_t(width) + 4);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, RegressionBudget);
  }
}
