// BMP reading and writing on small files built here byte by byte, so that
// each hostile field can be set on its own.

#include "imaging/BmpCodec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "BmpTestFiles.h"
#include "TempDir.h"
#include "framework/Exceptions.h"
#include "imaging/Imageholder.h"
#include "imaging/Imageio.h"

namespace {

using bmptest::Put32;
using bmptest::TFile;

std::unique_ptr<TBitmap> Read(const std::vector<uint8_t>& bytes, const TReadLimits& limits = TReadLimits{}) {
  TByteSource stream(bytes);
  return ReadBitmapStream(stream, limits);
}

// 0xRRGGBB of a 24-bit pixel.
uint32_t Pixel(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + x * 3;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

std::vector<uint32_t> Row(const TBitmap& b, int y) {
  std::vector<uint32_t> row;
  for (int x = 0; x < b.Width(); ++x) row.push_back(Pixel(b, x, y));
  return row;
}

void ExpectInvalid(const TFile& file, int line = __builtin_LINE()) {
  SCOPED_TRACE(line);
  try {
    Read(file.Bytes());
    ADD_FAILURE() << "accepted";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Bitmap image is not valid");
  }
}

constexpr uint32_t White = 0xFFFFFF;
const std::vector<uint32_t> Four = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};  // black, red, green, blue

TFile Palette8(int width, int height, std::vector<uint8_t> pixels) {
  TFile f;
  f.Width = width;
  f.Height = height;
  f.Bits = 8;
  f.ClrUsed = 4;
  f.Table = Four;
  f.Pixels = std::move(pixels);
  return f;
}

TFile Rle(uint32_t compression, int width, int height, std::vector<uint8_t> codes) {
  TFile f = Palette8(width, height, std::move(codes));
  f.Compression = compression;
  f.Bits = compression == 1 ? 8 : 4;
  f.SizeImage = uint32_t(f.Pixels.size());
  return f;
}

}  // namespace

TEST(BmpCodec_ReadBitmapStream, EmptyStreamGivesEmptyBitmap) {
  TByteSource stream(nullptr, 0);
  EXPECT_TRUE(ReadBitmapStream(stream, TReadLimits{})->Empty());
}

TEST(BmpCodec_ReadBitmapStream, PictureBeyondTheCallersLimitsIsRejected) {
  TFile f;
  f.Width = 4;
  f.Height = 3;
  f.Pixels.assign(36, 0);
  TReadLimits limits;
  limits.MaxPixels = 12;
  EXPECT_EQ(Read(f.Bytes(), limits)->Width(), 4);
  limits.MaxPixels = 11;
  EXPECT_THROW(Read(f.Bytes(), limits), EInvalidGraphic);
  limits.MaxPixels = 12;
  limits.MaxBytes = 35;  // three rows of 12 bytes
  EXPECT_THROW(Read(f.Bytes(), limits), EInvalidGraphic);
}

TEST(BmpCodec_ReadBitmapStream, BottomUpAndTopDownLoadUpright) {
  TFile f;
  f.Width = 2;
  f.Height = 2;
  // stored first: the bottom row, blue then green; then red then white
  f.Pixels = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 0};
  auto up = Read(f.Bytes());
  EXPECT_EQ(Row(*up, 0), (std::vector<uint32_t>{0xFF0000, White}));
  EXPECT_EQ(Row(*up, 1), (std::vector<uint32_t>{0x0000FF, 0x00FF00}));
  f.Height = -2;
  auto down = Read(f.Bytes());
  EXPECT_EQ(down->Height(), 2);
  EXPECT_EQ(Row(*down, 0), (std::vector<uint32_t>{0x0000FF, 0x00FF00}));
}

TEST(BmpCodec_ReadBitmapStream, PixelsFollowTheTableWhateverTheOffsetSays) {
  TFile f = Palette8(2, 1, {1, 3, 0, 0});
  for (uint32_t offset : {0u, 1u, 54u, 0xFFFFFFFFu}) {
    f.DataOffset = offset;
    EXPECT_EQ(Row(*Read(f.Bytes()), 0), (std::vector<uint32_t>{0xFF0000, 0x0000FF})) << offset;
  }
}

TEST(BmpCodec_ReadBitmapStream, PaletteIndicesLookedUpBeyondTheTableBlack) {
  TFile f = Palette8(4, 1, {1, 2, 3, 200});
  f.ClrUsed = 3;
  f.Table.resize(3);
  EXPECT_EQ(Row(*Read(f.Bytes()), 0), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0, 0}));

  TFile four = Palette8(3, 1, {0x12, 0x30, 0, 0});
  four.Bits = 4;
  four.ClrUsed = 0;  // the full table of 16, only four of them given colours
  four.Table.resize(16, 0x808080);
  EXPECT_EQ(Row(*Read(four.Bytes()), 0), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
}

TEST(BmpCodec_ReadBitmapStream, CoreHeaderHasThreeByteTable) {
  TFile f = Palette8(2, 1, {2, 1, 0, 0});
  f.HeaderSize = 12;
  f.Table.resize(256, 0x123456);  // a core table is always full
  EXPECT_EQ(Row(*Read(f.Bytes()), 0), (std::vector<uint32_t>{0x00FF00, 0xFF0000}));
}

TEST(BmpCodec_ReadBitmapStream, OneBitKeepsItsTableAndWidensDarkerBlack) {
  TFile f;
  f.Width = 10;
  f.Height = 2;
  f.Bits = 1;
  f.Table = {0xFFFFFF, 0x000000};             // white first, as many encoders write it
  f.Pixels = {0b10100000, 0b01000000, 0, 0};  // bottom row; the top row is missing
  auto bits = Read(f.Bytes());
  ASSERT_EQ(bits->PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(bits->Palette, (std::vector<TRGBQuad>{{255, 255, 255, 0}, {0, 0, 0, 0}}));
  const TBitmap wide = Conv1to24(*bits);
  EXPECT_EQ(Row(wide, 1), (std::vector<uint32_t>{0, White, 0, White, White, White, White, White, White, 0}));
  EXPECT_EQ(Row(wide, 0), std::vector<uint32_t>(10, White));  // missing rows white

  f.Table = {0x0000FF, 0xFFFF00};  // blue and yellow: shown black and white
  EXPECT_EQ(Row(Conv1to24(*Read(f.Bytes())), 1)[0], White);
  f.Table = {0xFFFF00, 0x0000FF};
  EXPECT_EQ(Row(Conv1to24(*Read(f.Bytes())), 1)[0], 0u);
  EXPECT_EQ(Row(Conv1to24(*Read(f.Bytes())), 0)[0], White);
}

TEST(BmpCodec_ReadBitmapStream, SixteenBitPlainIsFiveFiveFive) {
  TFile f;
  f.Width = 4;
  f.Bits = 16;
  f.Pixels = {0xFF, 0xFF, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C};
  EXPECT_EQ(Row(*Read(f.Bytes()), 0), (std::vector<uint32_t>{White, 0x0000FF, 0x00FF00, 0xFF0000}));
}

// Expected values as the platform's bitmap (Wine's GDI) converts the same pixels.
TEST(BmpCodec_ReadBitmapStream, BitFieldsAsThePlatformAppliesThem) {
  TFile f;
  f.Width = 8;
  f.Bits = 16;
  f.Compression = 3;
  f.Pixels = {0xFF, 0xFF, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x80, 0x00, 0x40};
  f.Masks = {0xF800, 0x07E0, 0x001F};
  EXPECT_EQ(Row(*Read(f.Bytes()), 0),
            (std::vector<uint32_t>{White, 0x000008, 0x000010, 0x000018, 0x000084, 0x002000, 0x840000, 0x420000}));
  f.Masks = {0x8000, 0x4000, 0x0001};  // one-bit fields
  EXPECT_EQ(Row(*Read(f.Bytes()), 0),
            (std::vector<uint32_t>{0xC0C0C0, 0x0000C0, 0, 0x0000C0, 0, 0, 0xC00000, 0x00C000}));
  f.Masks = {0x0007, 0x0038, 0x01C0};  // three-bit fields
  EXPECT_EQ(Row(*Read(f.Bytes()), 0)[0], 0xFCFCFCu);
  f.Masks = {0x0505, 0x0A0A, 0xF000};  // a gap ends a field
  EXPECT_EQ(Row(*Read(f.Bytes()), 0),
            (std::vector<uint32_t>{0xC0C0FF, 0xC00000, 0x00C000, 0xC0C000, 0, 0, 0x000088, 0x000044}));
  f.Masks = {0, 0, 0};
  EXPECT_EQ(Row(*Read(f.Bytes()), 0), std::vector<uint32_t>(8, 0));

  TFile w;
  w.Width = 4;
  w.Bits = 32;
  w.Compression = 3;
  for (uint32_t p : {0xFFFFFFFFu, 0x3FF00000u, 0x00100401u, 0x12345678u}) Put32(w.Pixels, p);
  w.Masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  EXPECT_EQ(Row(*Read(w.Bytes()), 0), (std::vector<uint32_t>{White, 0xFF0000, 0, 0x48459E}));
  w.Masks = {0xFFFF0000, 0x0000FFFF, 0};
  EXPECT_EQ(Row(*Read(w.Bytes()), 0), (std::vector<uint32_t>{0xFFFF00, 0x3F0000, 0x000400, 0x125600}));
  w.HeaderSize = 108;  // masks inside the header
  EXPECT_EQ(Row(*Read(w.Bytes()), 0)[3], 0x125600u);
  w.Compression = 0;  // plain 32-bit ignores any masks
  EXPECT_EQ(Row(*Read(w.Bytes()), 0), (std::vector<uint32_t>{White, 0xF00000, 0x100401, 0x345678}));
}

TEST(BmpCodec_ReadBitmapStream, Rle8RunsLiteralsDeltasAndEscapes) {
  // bottom row: a run of 6 in a row of 4 (the rest dropped); next: a literal
  // of 3 padded to even; top row: a delta right 1, up 0, then a run of 1.
  auto b = Read(Rle(1, 4, 3, {6, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1}).Bytes());
  EXPECT_EQ(Row(*b, 2), std::vector<uint32_t>(4, 0xFF0000));
  EXPECT_EQ(Row(*b, 1), (std::vector<uint32_t>{0x00FF00, 0x0000FF, 0x00FF00, White}));
  EXPECT_EQ(Row(*b, 0), (std::vector<uint32_t>{White, 0x0000FF, White, White}));
  EXPECT_EQ(b->Palette.size(), 4u);  // kept for writing back
}

TEST(BmpCodec_ReadBitmapStream, Rle4AlternatesNibbles) {
  auto b = Read(Rle(2, 4, 2, {5, 0x10, 0, 0, 0, 3, 0x02, 0x30, 0, 1}).Bytes());
  EXPECT_EQ(Row(*b, 1), (std::vector<uint32_t>{0xFF0000, 0, 0xFF0000, 0}));
  EXPECT_EQ(Row(*b, 0), (std::vector<uint32_t>{0, 0x00FF00, 0x0000FF, White}));
}

TEST(BmpCodec_ReadBitmapStream, RleBeyondThePictureIsDropped) {
  // deltas far right and far up, runs after them, end-of-lines past the top
  const std::vector<uint8_t> codes = {0, 2, 255, 0, 255, 1, 0, 0, 0, 2, 0, 255, 9, 1, 0, 0, 0, 0, 0, 0, 5, 1};
  for (uint32_t compression : {1u, 2u}) {
    auto b = Read(Rle(compression, 2, 2, codes).Bytes());
    EXPECT_EQ(Row(*b, 0), std::vector<uint32_t>(2, White));
    EXPECT_EQ(Row(*b, 1), std::vector<uint32_t>(2, White));
  }
  // a literal cut by the end of the data, and a delta with no arguments
  for (auto codes2 : {std::vector<uint8_t>{0, 200, 1, 2}, std::vector<uint8_t>{1, 1, 0, 2}}) {
    auto b = Read(Rle(1, 4, 1, codes2).Bytes());
    EXPECT_EQ(Row(*b, 0)[0], 0xFF0000u);
  }
}

TEST(BmpCodec_ReadBitmapStream, ShortPixelAreaLeavesRowsWhite) {
  TFile f = Palette8(2, 3, {1, 1, 0, 0, 2});  // the bottom row and one pixel
  auto b = Read(f.Bytes());
  EXPECT_EQ(Row(*b, 2), std::vector<uint32_t>(2, 0xFF0000));
  EXPECT_EQ(Row(*b, 1), (std::vector<uint32_t>{0x00FF00, White}));
  EXPECT_EQ(Row(*b, 0), std::vector<uint32_t>(2, White));
  f.Pixels.resize(12, 3);
  f.SizeImage = 4;  // the size field limits what is read
  EXPECT_EQ(Row(*Read(f.Bytes()), 1), std::vector<uint32_t>(2, White));
}

TEST(BmpCodec_ReadBitmapStream, ZeroSizesGiveEmptyBitmap) {
  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
    TFile f = Palette8(w, h, {1, 2, 3, 4});
    EXPECT_TRUE(Read(f.Bytes())->Empty());
  }
}

TEST(BmpCodec_ReadBitmapStream, CutHeaderOrTableIsStreamReadError) {
  TFile f = Palette8(2, 1, {1, 1, 0, 0});
  f.Masks = {};
  const std::vector<uint8_t> whole = f.Bytes();
  const size_t pixelsAt = whole.size() - 4;
  for (size_t n = 1; n < pixelsAt; ++n) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);
    EXPECT_THROW(Read(cut), EReadError) << n;
  }
  TFile masks;
  masks.Bits = 16;
  masks.Compression = 3;
  masks.Masks = {0xF800, 0x07E0};  // one mask short
  EXPECT_THROW(Read(masks.Bytes()), EReadError);
  TFile table = Palette8(1, 1, {0, 0, 0, 0});
  table.ClrUsed = 0xFFFFFFFF;  // a table larger than the file
  EXPECT_THROW(Read(table.Bytes()), EReadError);
  std::vector<uint8_t> header = TFile().Bytes();
  header[17] = 0xFF;  // a header size of 4 GiB
  EXPECT_THROW(Read(header), EReadError);
}

TEST(BmpCodec_ReadBitmapStream, InvalidFieldsRejected) {
  TFile f;
  std::vector<uint8_t> bytes = f.Bytes();
  bytes[1] = 'A';
  EXPECT_THROW(Read(bytes), EInvalidGraphic);
  const auto with = [](auto change) {
    TFile g;
    g.Pixels = {1, 2, 3, 0};
    change(g);
    return g;
  };
  ExpectInvalid(with([](TFile& g) { g.Planes = 0; }));
  ExpectInvalid(with([](TFile& g) { g.Planes = 2; }));
  ExpectInvalid(with([](TFile& g) { g.Bits = 2; }));
  ExpectInvalid(with([](TFile& g) { g.Bits = 0; }));
  ExpectInvalid(with([](TFile& g) { g.Compression = 4; }));
  ExpectInvalid(with([](TFile& g) { g.Compression = 1; }));              // RLE8 at 24 bits
  ExpectInvalid(with([](TFile& g) { g.Bits = 4, g.Compression = 1; }));  // RLE8 at 4 bits
  ExpectInvalid(with([](TFile& g) { g.Bits = 8, g.Compression = 2; }));  // RLE4 at 8 bits
  ExpectInvalid(with([](TFile& g) { g.Compression = 3; }));              // bit fields at 24 bits
  ExpectInvalid(with([](TFile& g) { g.HeaderSize = 20; }));
  ExpectInvalid(with([](TFile& g) { g.HeaderSize = 44, g.Bits = 16, g.Compression = 3; }));
  ExpectInvalid(with([](TFile& g) { g.Width = -1; }));
  ExpectInvalid(Rle(1, 2, -2, {2, 1, 0, 1}));  // the platform has no top-down run-length bitmaps
  ExpectInvalid(Rle(2, 2, -2, {2, 1, 0, 1}));
}

TEST(BmpCodec_ReadBitmapStream, HugeDimensionsRejectedWithoutAllocating) {
  const auto huge = [](int32_t w, int32_t h, uint16_t bits) {
    TFile f;
    f.Width = w;
    f.Height = h;
    f.Bits = bits;
    if (bits == 1) f.Table = {0, White};
    f.Pixels = {1, 2, 3, 4};
    return f;
  };
  ExpectInvalid(huge(0x7FFFFFFF, 1, 32));
  ExpectInvalid(huge(1, 0x7FFFFFFF, 24));
  ExpectInvalid(huge(1, INT32_MIN, 24));
  ExpectInvalid(huge(0x40000, 0x10000, 1));
  ExpectInvalid(huge(0x10000, 0x2000, 1));  // 64 MiB at 1 bit, too large once widened
  ExpectInvalid(huge(0x7FFFFFFF, 0x7FFFFFFF, 1));
  TFile core = huge(0xFFFF, 0xFFFF, 24);
  core.HeaderSize = 12;
  ExpectInvalid(core);
}

TEST(BmpCodec_WriteBitmapStream, TwentyFourBitAtOffset54) {
  TBitmap image(3, 2);
  image.ScanLine(0)[0] = 7;  // the top row is written last
  const std::vector<uint8_t> file = WriteBitmapStream(image);
  ASSERT_EQ(file.size(), 78u);
  TByteSource s(file);
  EXPECT_EQ(s.ReadU16LE(), 0x4D42);
  EXPECT_EQ(s.ReadU32LE(), 78u);
  EXPECT_EQ(s.ReadU32LE(), 0u);
  EXPECT_EQ(s.ReadU32LE(), 54u);
  EXPECT_EQ(s.ReadU32LE(), 40u);
  EXPECT_EQ(s.ReadU32LE(), 3u);
  EXPECT_EQ(s.ReadU32LE(), 2u);
  EXPECT_EQ(s.ReadU16LE(), 1);
  EXPECT_EQ(s.ReadU16LE(), 24);
  for (uint32_t v : {0u, 24u, 0u, 0u, 0u, 0u}) EXPECT_EQ(s.ReadU32LE(), v);
  EXPECT_EQ(file[54 + 12], 7);
}

TEST(BmpCodec_WriteBitmapStream, OneBitWithBlackWhiteTableAtOffset62) {
  TBitmap bits(9, 1, TPixelFormat::pf1bit);
  bits.Palette = {{1, 2, 3, 0}, {4, 5, 6, 0}};  // not written: the table is always black, white
  bits.ScanLine(0)[0] = 0x5A;
  const std::vector<uint8_t> file = WriteBitmapStream(bits);
  ASSERT_EQ(file.size(), 66u);
  EXPECT_EQ(file[10], 62);
  EXPECT_EQ(file[28], 1);
  EXPECT_EQ(file[34], 4);  // image size
  EXPECT_EQ(file[46], 2);  // colours used
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.begin() + 62),
            (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  EXPECT_EQ(file[62], 0x5A);
}

TEST(BmpCodec_WriteBitmapStream, RunLengthPaletteWrittenAsTable) {
  auto image = Read(Rle(1, 2, 2, {2, 3, 0, 0, 1, 1, 1, 2, 0, 1}).Bytes());
  const std::vector<uint8_t> file = WriteBitmapStream(*image);
  EXPECT_EQ(file[10], 54 + 16);
  EXPECT_EQ(file[28], 24);
  EXPECT_EQ(file[30], 0);  // not compressed
  EXPECT_EQ(file[46], 4);
  EXPECT_EQ(file.size(), 54u + 16 + 16);
  auto back = Read(file);
  EXPECT_EQ(Row(*back, 0), Row(*image, 0));
  EXPECT_EQ(Row(*back, 1), (std::vector<uint32_t>{0x0000FF, 0x0000FF}));
}

TEST(BmpCodec_WriteBitmapStream, ReadBackGivesSamePixels) {
  TBitmap image(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 15; ++x) image.ScanLine(y)[x] = uint8_t(y * 40 + x);
  auto back = Read(WriteBitmapStream(image));
  for (int y = 0; y < 3; ++y) EXPECT_EQ(Row(*back, y), Row(image, y));
}

namespace {

class BmpHolder : public ::testing::Test {
protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    FDir.Write(name, std::string(bytes.begin(), bytes.end()));
    return FDir.Join(name);
  }
  std::string Message(const std::vector<uint8_t>& bytes) {
    try {
      FHolder.LoadFromFile(Write("x.bmp", bytes));
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }

  TTempDir FDir;
  TImageHolder FHolder{nullptr};
};

}  // namespace

TEST_F(BmpHolder, InvalidBecomesUnrecognizedReadErrorsPassThrough) {
  TFile f;
  f.Planes = 3;
  EXPECT_EQ(Message(f.Bytes()), "unrecognized BMP");
  f.Planes = 1;
  f.Width = 0x7FFFFFFF;
  EXPECT_EQ(Message(f.Bytes()), "unrecognized BMP");
  std::vector<uint8_t> cut = TFile().Bytes();
  cut.resize(30);
  EXPECT_EQ(Message(cut), "Stream read error");
}

TEST_F(BmpHolder, RunLengthPaletteSurvivesUntilRescaled) {
  FHolder.LoadFromFile(Write("r.bmp", Rle(1, 3, 1, {1, 1, 1, 2, 1, 3, 0, 1}).Bytes()));
  FHolder.SaveToFileBMP(FDir.Join("out.bmp"));
  EXPECT_EQ(std::filesystem::file_size(FDir.Join("out.bmp")), 54u + 16 + 12);
  FHolder.Resample(3, 1, TResampleFilter::rfNone);
  FHolder.SaveToFileBMP(FDir.Join("out.bmp"));
  EXPECT_EQ(std::filesystem::file_size(FDir.Join("out.bmp")), 54u + 12);
}
