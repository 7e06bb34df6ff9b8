#include "imaging/Tifccitt.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// ---- run-length code tables ----------------------------------------------

enum class TKind : uint8_t { None, Terminating, Makeup };

struct TCode {
  uint16_t Run = 0;
  uint8_t Length = 0;
  TKind Kind = TKind::None;
};

struct TCodeText {
  uint16_t Run;
  const char* Bits;
};

// The code tables keep their columns.
// clang-format off
constexpr TCodeText WhiteCodes[] = {
    {0, "00110101"},     {1, "000111"},       {2, "0111"},         {3, "1000"},         {4, "1011"},
    {5, "1100"},         {6, "1110"},         {7, "1111"},         {8, "10011"},        {9, "10100"},
    {10, "00111"},       {11, "01000"},       {12, "001000"},      {13, "000011"},      {14, "110100"},
    {15, "110101"},      {16, "101010"},      {17, "101011"},      {18, "0100111"},     {19, "0001100"},
    {20, "0001000"},     {21, "0010111"},     {22, "0000011"},     {23, "0000100"},     {24, "0101000"},
    {25, "0101011"},     {26, "0010011"},     {27, "0100100"},     {28, "0011000"},     {29, "00000010"},
    {30, "00000011"},    {31, "00011010"},    {32, "00011011"},    {33, "00010010"},    {34, "00010011"},
    {35, "00010100"},    {36, "00010101"},    {37, "00010110"},    {38, "00010111"},    {39, "00101000"},
    {40, "00101001"},    {41, "00101010"},    {42, "00101011"},    {43, "00101100"},    {44, "00101101"},
    {45, "00000100"},    {46, "00000101"},    {47, "00001010"},    {48, "00001011"},    {49, "01010010"},
    {50, "01010011"},    {51, "01010100"},    {52, "01010101"},    {53, "00100100"},    {54, "00100101"},
    {55, "01011000"},    {56, "01011001"},    {57, "01011010"},    {58, "01011011"},    {59, "01001010"},
    {60, "01001011"},    {61, "00110010"},    {62, "00110011"},    {63, "00110100"},    {64, "11011"},
    {128, "10010"},      {192, "010111"},     {256, "0110111"},    {320, "00110110"},   {384, "00110111"},
    {448, "01100100"},   {512, "01100101"},   {576, "01101000"},   {640, "01100111"},   {704, "011001100"},
    {768, "011001101"},  {832, "011010010"},  {896, "011010011"},  {960, "011010100"},  {1024, "011010101"},
    {1088, "011010110"}, {1152, "011010111"}, {1216, "011011000"}, {1280, "011011001"}, {1344, "011011010"},
    {1408, "011011011"}, {1472, "010011000"}, {1536, "010011001"}, {1600, "010011010"}, {1664, "011000"},
    {1728, "010011011"},
};

constexpr TCodeText BlackCodes[] = {
    {0, "0000110111"},      {1, "010"},             {2, "11"},              {3, "10"},
    {4, "011"},             {5, "0011"},            {6, "0010"},            {7, "00011"},
    {8, "000101"},          {9, "000100"},          {10, "0000100"},        {11, "0000101"},
    {12, "0000111"},        {13, "00000100"},       {14, "00000111"},       {15, "000011000"},
    {16, "0000010111"},     {17, "0000011000"},     {18, "0000001000"},     {19, "00001100111"},
    {20, "00001101000"},    {21, "00001101100"},    {22, "00000110111"},    {23, "00000101000"},
    {24, "00000010111"},    {25, "00000011000"},    {26, "000011001010"},   {27, "000011001011"},
    {28, "000011001100"},   {29, "000011001101"},   {30, "000001101000"},   {31, "000001101001"},
    {32, "000001101010"},   {33, "000001101011"},   {34, "000011010010"},   {35, "000011010011"},
    {36, "000011010100"},   {37, "000011010101"},   {38, "000011010110"},   {39, "000011010111"},
    {40, "000001101100"},   {41, "000001101101"},   {42, "000011011010"},   {43, "000011011011"},
    {44, "000001010100"},   {45, "000001010101"},   {46, "000001010110"},   {47, "000001010111"},
    {48, "000001100100"},   {49, "000001100101"},   {50, "000001010010"},   {51, "000001010011"},
    {52, "000000100100"},   {53, "000000110111"},   {54, "000000111000"},   {55, "000000100111"},
    {56, "000000101000"},   {57, "000001011000"},   {58, "000001011001"},   {59, "000000101011"},
    {60, "000000101100"},   {61, "000001011010"},   {62, "000001100110"},   {63, "000001100111"},
    {64, "0000001111"},     {128, "000011001000"},  {192, "000011001001"},  {256, "000001011011"},
    {320, "000000110011"},  {384, "000000110100"},  {448, "000000110101"},  {512, "0000001101100"},
    {576, "0000001101101"}, {640, "0000001001010"}, {704, "0000001001011"}, {768, "0000001001100"},
    {832, "0000001001101"}, {896, "0000001110010"}, {960, "0000001110011"}, {1024, "0000001110100"},
    {1088, "0000001110101"}, {1152, "0000001110110"}, {1216, "0000001110111"}, {1280, "0000001010010"},
    {1344, "0000001010011"}, {1408, "0000001010100"}, {1472, "0000001010101"}, {1536, "0000001011010"},
    {1600, "0000001011011"}, {1664, "0000001100100"}, {1728, "0000001100101"},
};

// Make-up codes of 1792 and more, the same for both colours.
constexpr TCodeText ExtendedCodes[] = {
    {1792, "00000001000"},  {1856, "00000001100"},  {1920, "00000001101"},  {1984, "000000010010"},
    {2048, "000000010011"}, {2112, "000000010100"}, {2176, "000000010101"}, {2240, "000000010110"},
    {2304, "000000010111"}, {2368, "000000011100"}, {2432, "000000011101"}, {2496, "000000011110"},
    {2560, "000000011111"},
};
// clang-format on

constexpr int WhiteBits = 12;  // longest white code
constexpr int BlackBits = 13;  // longest black code

template <size_t N>
void Enter(std::vector<TCode>& table, int bits, const TCodeText (&codes)[N]) {
  for (const TCodeText& code : codes) {
    const int length = int(std::strlen(code.Bits));
    uint32_t value = 0;
    for (int i = 0; i < length; ++i) value = value << 1 | uint32_t(code.Bits[i] - '0');
    const TCode entry{code.Run, uint8_t(length), code.Run < 64 ? TKind::Terminating : TKind::Makeup};
    const uint32_t first = value << (bits - length);
    for (uint32_t i = 0; i < (1u << (bits - length)); ++i) table[first | i] = entry;
  }
}

// One entry per value of the top `bits` bits of the window: the code those
// bits start with, or None (zeros prefixes: end-of-line, invalid prefixes).
std::vector<TCode> MakeTable(int bits, bool white) {
  std::vector<TCode> table(size_t(1) << bits);
  if (white)
    Enter(table, bits, WhiteCodes);
  else
    Enter(table, bits, BlackCodes);
  Enter(table, bits, ExtendedCodes);
  return table;
}

const std::vector<TCode>& WhiteTable() {
  static const std::vector<TCode> table = MakeTable(WhiteBits, true);
  return table;
}

const std::vector<TCode>& BlackTable() {
  static const std::vector<TCode> table = MakeTable(BlackBits, false);
  return table;
}

// ---- two-dimensional mode codes ------------------------------------------

enum class TMode : uint8_t { None, Pass, Horizontal, Vertical };

struct TModeCode {
  TMode Mode = TMode::None;
  uint8_t Length = 0;
  int8_t Offset = 0;  // vertical modes: a1 - b1
};

// Indexed by the top 7 bits of the window; None for 0000001 (extensions,
// not decoded) and 0000000 (end-of-line or nothing).
const std::array<TModeCode, 128>& ModeTable() {
  static const auto table = [] {
    std::array<TModeCode, 128> t{};
    const auto put = [&t](uint32_t code, int length, TModeCode entry) {
      entry.Length = uint8_t(length);
      for (uint32_t i = 0; i < (1u << (7 - length)); ++i) t[(code << (7 - length)) | i] = entry;
    };
    put(0b1, 1, {TMode::Vertical, 0, 0});
    put(0b011, 3, {TMode::Vertical, 0, 1});
    put(0b010, 3, {TMode::Vertical, 0, -1});
    put(0b001, 3, {TMode::Horizontal, 0, 0});
    put(0b0001, 4, {TMode::Pass, 0, 0});
    put(0b000011, 6, {TMode::Vertical, 0, 2});
    put(0b000010, 6, {TMode::Vertical, 0, -2});
    put(0b0000011, 7, {TMode::Vertical, 0, 3});
    put(0b0000010, 7, {TMode::Vertical, 0, -3});
    return t;
  }();
  return table;
}

// ---- bits ----------------------------------------------------------------

uint64_t LoadBE64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
  return v;
}

// Reverses the bits inside each byte of the word.
uint64_t ReverseByteBits(uint64_t x) {
  x = (x >> 1 & 0x5555555555555555ull) | (x & 0x5555555555555555ull) << 1;
  x = (x >> 2 & 0x3333333333333333ull) | (x & 0x3333333333333333ull) << 2;
  return (x >> 4 & 0x0F0F0F0F0F0F0F0Full) | (x & 0x0F0F0F0F0F0F0F0Full) << 4;
}

int LeadingZeros32(uint32_t v) { return v ? __builtin_clz(v) : 32; }

class TBitReader {
public:
  TBitReader(const uint8_t* data, size_t size, int fillOrder, uint64_t pos)
      : FData(data), FSize(size), FTotal(uint64_t(size) * 8), FPos(std::min(pos, FTotal)), FReverse(fillOrder == 2) {}

  // The next 32 bits, first bit in the top bit; zeros past the end.
  uint32_t Peek() const {
    const size_t byte = size_t(FPos >> 3);
    uint64_t word;
    if (byte + 8 <= FSize) {
      word = LoadBE64(FData + byte);
    } else {
      uint8_t tail[8] = {};
      std::memcpy(tail, FData + byte, FSize - byte);
      word = LoadBE64(tail);
    }
    if (FReverse) word = ReverseByteBits(word);
    return uint32_t((word << (FPos & 7)) >> 32);
  }
  bool Ended() const { return FPos >= FTotal; }
  bool Fits(uint64_t count) const { return count <= FTotal - FPos; }
  void Skip(uint64_t count) { FPos = std::min(FPos + count, FTotal); }
  void SkipToEnd() { FPos = FTotal; }
  uint64_t Position() const { return FPos; }

private:
  const uint8_t* FData;
  size_t FSize;
  uint64_t FTotal;
  uint64_t FPos;
  bool FReverse;
};

// ---- rows ----------------------------------------------------------------

// Sets pixels [from, to) to white (set bits) or black.
void Paint(uint8_t* row, int from, int to, bool white) {
  if (from >= to) return;
  const size_t first = size_t(from) >> 3, last = size_t(to - 1) >> 3;
  const uint8_t head = uint8_t(0xFF >> (from & 7)), tail = uint8_t(0xFF << (7 - ((to - 1) & 7)));
  const auto apply = [&](size_t i, uint8_t mask) { row[i] = white ? row[i] | mask : row[i] & ~mask; };
  if (first == last) return apply(first, head & tail);
  apply(first, head);
  if (last > first + 1) std::memset(row + first + 1, white ? 0xFF : 0x00, last - first - 1);
  apply(last, tail);
}

// The changing elements coded in the previous row, searched for b1 and b2.
// Elements are kept as coded, zero-length runs included: an encoder counts
// them when it picks b1, so dropping them (as a scan of the row's pixels
// would) moves b1 onto the wrong element. Since a0 only moves right within a
// row, the search resumes where the last one stopped, so a row costs one pass
// over the elements however many codes it has. Past the last element the row
// ends: b1 and b2 are the width there.
class TChanges {
public:
  TChanges(const std::vector<int>& reference, int width) : FElements(reference), FWidth(width) {}

  // Index of b1: the first changing element right of a0 that turns the row
  // to the opposite of the current colour.
  size_t B1(int a0, bool white) {
    while (FFirst < FElements.size() && FElements[FFirst] <= a0) ++FFirst;
    return FFirst + ((FFirst % 2 == 0) == white ? 0 : 1);
  }
  int At(size_t j) const { return j < FElements.size() ? std::min(FElements[j], FWidth) : FWidth; }

private:
  const std::vector<int>& FElements;
  int FWidth;
  size_t FFirst = 0;
};

// Adds a changing element of the row being decoded. A conforming row has
// about one per pixel; the count is capped at twice that so that a hostile
// row of endless zero-length runs cannot grow it with its data.
void AddChange(std::vector<int>& coded, int x, int width) {
  if (coded.size() < 2 * size_t(width) + 4) coded.push_back(x);
}

enum class TToken { Run, EndOfLine, Skipped, Nothing, End };

struct TRunCode {
  TToken Token;
  int Run = 0;
  bool Makeup = false;
};

// The data can only end from here (zeros to its end, or a code cut off by
// it): it is used up, so that the rows after it cost nothing.
TRunCode DataEnds(TBitReader& in) {
  in.SkipToEnd();
  return {TToken::End};
}

// Counts a zeros prefix that fits no run code. Eleven or more zeros and a one
// are an end-of-line (any number of fill zeros allowed); eight to ten zeros and
// a one are the invalid prefixes, stepped over; anything else matches nothing.
TRunCode ReadZerosPrefix(TBitReader& in, bool consumeEol) {
  uint64_t zeros = 0;
  uint32_t window = in.Peek();
  while (window == 0) {
    if (!in.Fits(zeros + 33)) return DataEnds(in);
    zeros += 32;
    TBitReader ahead = in;
    ahead.Skip(zeros);
    window = ahead.Peek();
  }
  zeros += uint64_t(LeadingZeros32(window));
  if (!in.Fits(zeros + 1)) return DataEnds(in);
  if (zeros >= 11) {
    if (consumeEol) in.Skip(zeros + 1);
    return {TToken::EndOfLine};
  }
  if (zeros >= 8) {
    in.Skip(zeros + 1);
    return {TToken::Skipped};
  }
  return {TToken::Nothing};
}

TRunCode ReadRunCode(TBitReader& in, bool white, bool consumeEol = true) {
  if (in.Ended()) return {TToken::End};
  const uint32_t window = in.Peek();
  const TCode code = white ? WhiteTable()[window >> (32 - WhiteBits)] : BlackTable()[window >> (32 - BlackBits)];
  if (code.Kind == TKind::None) return ReadZerosPrefix(in, consumeEol);
  if (!in.Fits(code.Length)) return DataEnds(in);
  in.Skip(code.Length);
  return {TToken::Run, code.Run, code.Kind == TKind::Makeup};
}

// A one-dimensional row. An end-of-line before the first run is stepped
// over; one later in the row, a code that matches nothing (one bit is then
// dropped, so that the next row starts further on) and the end of the data
// all end the row with white. Each colour change is added to `coded` when
// it is given, zero-length runs included.
void DecodeRow1D(TBitReader& in, uint8_t* row, int width, std::vector<int>* coded = nullptr) {
  int x = 0;
  bool white = true, makeupPending = false, started = false;
  while (x < width || makeupPending) {
    const TRunCode code = ReadRunCode(in, white);
    if (code.Token == TToken::Skipped) continue;
    if (code.Token == TToken::EndOfLine && !started) continue;
    if (code.Token != TToken::Run) {
      if (code.Token == TToken::Nothing) in.Skip(1);
      if (coded && !white) AddChange(*coded, x, width);
      Paint(row, x, width, true);
      return;
    }
    started = true;
    const int end = int(std::min<int64_t>(int64_t(x) + code.Run, width));
    Paint(row, x, end, white);
    x = end;
    makeupPending = code.Makeup;
    if (code.Makeup) continue;
    white = !white;
    if (coded) AddChange(*coded, x, width);
  }
}

// A run of make-up codes closed by a terminating code, capped just past the
// row so that hostile make-up chains cannot overflow; -1 when anything else
// comes first.
int ReadRun(TBitReader& in, bool white, int width) {
  int total = 0;
  for (;;) {
    const TRunCode code = ReadRunCode(in, white, false);
    if (code.Token == TToken::Skipped) continue;
    if (code.Token != TToken::Run) return -1;
    total = std::min(total + code.Run, width + 1);
    if (!code.Makeup) return total;
  }
}

// A two-dimensional row against the previous row's changing elements; its
// own go to `coded`. Modes that would move a0 backwards or past the row are
// clipped to it; a horizontal mode whose runs do not decode and the end of
// the data end the row with white.
void DecodeRow2D(TBitReader& in, uint8_t* row, const std::vector<int>& reference, std::vector<int>& coded, int width) {
  TChanges changes(reference, width);
  int a0 = -1;
  bool white = true, started = false;
  // Paints the rest of the row; a colour other than the current one is a change there.
  const auto finish = [&](int from, bool paintWhite) {
    if (paintWhite != white) AddChange(coded, from, width);
    Paint(row, from, width, paintWhite);
  };
  while (a0 < width) {
    const int from = std::max(a0, 0);
    if (in.Ended()) return finish(from, true);
    const uint32_t window = in.Peek();
    const TModeCode mode = ModeTable()[window >> 25];
    if (mode.Mode == TMode::None) {
      TBitReader probe = in;  // only an end-of-line is taken here; anything else is 12 bits of nothing
      const TRunCode prefix = LeadingZeros32(window) >= 7 ? ReadZerosPrefix(probe, false) : TRunCode{TToken::Nothing};
      if (prefix.Token == TToken::End) {
        in = probe;  // at the end of the data
        return finish(from, true);
      }
      if (prefix.Token != TToken::EndOfLine) {
        in.Skip(12);
        continue;
      }
      if (started) return finish(from, white);
      // The end-of-line opening a T.4 row and its tag bit: 1 means the row is one-dimensional.
      ReadZerosPrefix(in, true);
      if (in.Ended()) return finish(from, true);
      const bool oneDimensional = in.Peek() >> 31;
      in.Skip(1);
      started = true;
      if (oneDimensional) return DecodeRow1D(in, row, width, &coded);
      continue;
    }
    in.Skip(mode.Length);
    started = true;
    const size_t j = changes.B1(a0, white);
    const int b1 = changes.At(j);
    if (mode.Mode == TMode::Pass) {
      const int b2 = changes.At(j + 1);
      Paint(row, from, b2, white);
      a0 = b2;
    } else if (mode.Mode == TMode::Vertical) {
      const int a1 = std::clamp(b1 + mode.Offset, from, width);
      Paint(row, from, a1, white);
      AddChange(coded, a1, width);
      a0 = a1;
      white = !white;
    } else {
      const int first = ReadRun(in, white, width);
      const int second = first < 0 ? -1 : ReadRun(in, !white, width);
      if (second < 0) return finish(from, true);
      const int a1 = std::min(from + first, width), a2 = std::min(a1 + second, width);
      Paint(row, from, a1, white);
      Paint(row, a1, a2, !white);
      AddChange(coded, a1, width);
      AddChange(coded, a2, width);
      a0 = a2;
    }
  }
}

}  // namespace

size_t CCITTHuffmanGetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder) {
  TBitReader in(data, size, fillOrder, 0);
  DecodeRow1D(in, row, width);
  return size_t((in.Position() + 7) / 8);
}

uint64_t _CCITTHuffmanGetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder,
                              uint64_t bitPos) {
  TBitReader in(data, size, fillOrder, bitPos);
  DecodeRow1D(in, row, width);
  return in.Position();
}

uint64_t CCITT3_2D_GetLine(uint8_t* row, const uint8_t* data, size_t size, int width, int fillOrder, uint64_t bitPos,
                           TCcittRows& rows) {
  TBitReader in(data, size, fillOrder, bitPos);
  rows.Coded.clear();
  DecodeRow2D(in, row, rows.Reference, rows.Coded, width);
  std::swap(rows.Reference, rows.Coded);
  return in.Position();
}
