// GIF reading on files built here: a small LZW encoder makes the code
// streams, and hostile streams are written code by code.

#include "imaging/Giffilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/Exceptions.h"
#include "imaging/Imageholder.h"

namespace {

using TBytes = std::vector<uint8_t>;
using TCodes = std::vector<std::pair<int, int>>;  // (code, bits)

void Put16(TBytes& out, int v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

// Codes for the indices with the widths a decoder reads them at; no clear
// code once the table is full unless asked for.
TCodes Encode(const TBytes& pixels, int minSize, bool clearWhenFull = false) {
  const int clear = 1 << minSize;
  TCodes out;
  std::map<std::pair<int, int>, int> table;
  int bits = minSize + 1, limit = 2 * clear, next = clear + 2, decoderFree = clear + 2, sent = 0;
  const auto emit = [&](int code) {
    out.push_back({code, bits});
    if (sent++ == 0 || decoderFree >= 4096) return;
    if (++decoderFree >= limit && limit < 4096) limit *= 2, ++bits;
  };
  const auto reset = [&] {
    table.clear();
    bits = minSize + 1, limit = 2 * clear, next = clear + 2, decoderFree = clear + 2, sent = 0;
  };
  out.push_back({clear, bits});
  int w = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    const auto found = table.find({w, pixels[i]});
    if (found != table.end()) {
      w = found->second;
      continue;
    }
    emit(w);
    if (next < 4096) {
      table[{w, pixels[i]}] = next++;
    } else if (clearWhenFull) {
      out.push_back({clear, bits});
      reset();
    }
    w = pixels[i];
  }
  emit(w);
  out.push_back({clear + 1, bits});
  return out;
}

TBytes Pack(const TCodes& codes) {
  TBytes out;
  uint32_t buffer = 0;
  int count = 0;
  for (const auto& [code, bits] : codes) {
    buffer |= uint32_t(code) << count;
    for (count += bits; count >= 8; count -= 8, buffer >>= 8) out.push_back(uint8_t(buffer));
  }
  if (count > 0) out.push_back(uint8_t(buffer));
  return out;
}

// Data sub-blocks of `piece` bytes and the terminator.
TBytes Blocks(const TBytes& data, size_t piece = 255, bool terminate = true) {
  TBytes out;
  for (size_t at = 0; at < data.size(); at += piece) {
    const size_t n = std::min(piece, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
  }
  if (terminate) out.push_back(0);
  return out;
}

// Table entry i is (i, 255 - i, i / 2) as red, green, blue.
TBytes Table(int entries) {
  TBytes out;
  for (int i = 0; i < entries; ++i) out.insert(out.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  return out;
}

TBytes Screen(int width, int height, int tableBits = 7, int background = 0, const char* version = "GIF89a") {
  TBytes out(version, version + 6);
  Put16(out, width);
  Put16(out, height);
  out.push_back(uint8_t(tableBits >= 0 ? 0x80 | tableBits : 0));
  out.push_back(uint8_t(background));
  out.push_back(0);
  if (tableBits >= 0) {
    const TBytes table = Table(2 << tableBits);
    out.insert(out.end(), table.begin(), table.end());
  }
  return out;
}

void Control(TBytes& out, bool transparent, int index, int delay = 0) {
  out.insert(out.end(), {0x21, 0xF9, 4, uint8_t(transparent ? 1 : 0)});
  Put16(out, delay);
  out.insert(out.end(), {uint8_t(index), 0});
}

// An image descriptor followed by its data (minimum code size and blocks).
void Image(TBytes& out, int width, int height, const TBytes& data, int minSize = 8, uint8_t packed = 0, int left = 0,
           int top = 0) {
  out.push_back(0x2C);
  for (int v : {left, top, width, height}) Put16(out, v);
  out.push_back(packed);
  if (packed & 0x80) {
    const TBytes table = Table(2 << (packed & 7));
    out.insert(out.end(), table.rbegin(), table.rend());  // reversed: blue, green, red of i = 255 - ...
  }
  out.push_back(uint8_t(minSize));
  out.insert(out.end(), data.begin(), data.end());
}

TBytes Pattern(int width, int height, int modulo = 256) {
  TBytes pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(uint8_t((x * x / 3 + y * 7 + (x ^ y)) % modulo));
  return pixels;
}

TBytes SimpleGif(const TBytes& pixels, int width, int height, size_t piece = 255) {
  TBytes file = Screen(width, height);
  Image(file, width, height, Blocks(Pack(Encode(pixels, 8)), piece));
  file.push_back(0x3B);
  return file;
}

struct TResult {
  std::unique_ptr<TBitmap> Bitmap;
  int Count = -1;
  TGlobGifInfo Global;
  TGifInfo Info;
};

TResult Read(const TBytes& file, int index = 0, const TReadLimits& limits = TReadLimits{}) {
  TResult r;
  TByteSource stream(file);
  TProgressRec progress;
  r.Bitmap = ReadGifStream(stream, index, r.Count, progress, r.Global, r.Info, limits);
  return r;
}

std::string Message(const TBytes& file) {
  try {
    Read(file);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "";
}

// The indices of a bitmap painted with Table(256): the red byte.
TBytes Indices(const TBitmap& bitmap) {
  TBytes out;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.ScanLine(y)[x * 3 + 2]);
  return out;
}

}  // namespace

TEST(Giffilter_ReadGifStream, DecodesPixelsWithTheirColours) {
  const TBytes pixels = Pattern(23, 9);
  const TResult r = Read(SimpleGif(pixels, 23, 9));
  ASSERT_TRUE(r.Bitmap);
  EXPECT_EQ(r.Count, 1);
  EXPECT_EQ(Indices(*r.Bitmap), pixels);
  const uint8_t* p = r.Bitmap->ScanLine(8) + 22 * 3;
  const uint8_t i = pixels.back();
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{i / 2, 255 - i, i}));
}

TEST(Giffilter_ReadGifStream, ImageBeyondTheCallersLimitsIsRejected) {
  const TBytes file = SimpleGif(Pattern(4, 3), 4, 3);
  TReadLimits limits;
  limits.MaxPixels = 12;
  EXPECT_EQ(Read(file, 0, limits).Bitmap->Height(), 3);
  limits.MaxPixels = 11;
  EXPECT_THROW(Read(file, 0, limits), EInvalidGraphic);
}

TEST(Giffilter_ReadGifStream, SubBlockSizesDoNotChangeTheCodes) {
  const TBytes pixels = Pattern(61, 40);
  const TBytes whole = Indices(*Read(SimpleGif(pixels, 61, 40, 255)).Bitmap);
  EXPECT_EQ(whole, pixels);
  for (size_t piece : {1, 7, 254})
    EXPECT_EQ(Indices(*Read(SimpleGif(pixels, 61, 40, piece)).Bitmap), whole) << "pieces of " << piece;
}

TEST(Giffilter_ReadGifStream, FullTableWithAndWithoutClearCodes) {
  TBytes pixels = Pattern(400, 300);
  for (size_t i = 0; i < pixels.size(); i += 97) pixels[i] = uint8_t(i / 97);  // strings long and short
  for (bool clear : {false, true}) {
    TBytes file = Screen(400, 300);
    Image(file, 400, 300, Blocks(Pack(Encode(pixels, 8, clear))));
    EXPECT_EQ(Indices(*Read(file).Bitmap), pixels) << "clear " << clear;
  }
  const TBytes solid(1000 * 1000, 5);  // every string one longer than the last: lengths 1 to 1400
  TBytes file = Screen(1000, 1000);
  Image(file, 1000, 1000, Blocks(Pack(Encode(solid, 8))));
  EXPECT_EQ(Indices(*Read(file).Bitmap), solid);
}

TEST(Giffilter_ReadGifStream, InterlacedRowsLandInPlace) {
  for (int height : {1, 2, 3, 4, 5, 8, 9, 17}) {
    const TBytes pixels = Pattern(5, height);
    TBytes order;
    static const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = starts[pass]; y < height; y += steps[pass])
        order.insert(order.end(), pixels.begin() + y * 5, pixels.begin() + y * 5 + 5);
    TBytes file = Screen(5, height);
    Image(file, 5, height, Blocks(Pack(Encode(order, 8))), 8, 0x40);
    const TResult r = Read(file);
    EXPECT_TRUE(r.Info.Interlaced);
    EXPECT_EQ(Indices(*r.Bitmap), pixels) << "height " << height;
  }
}

TEST(Giffilter_ReadGifStream, FramesCountAndTheRequestedOneComesAtItsOwnSize) {
  TBytes file = Screen(10, 10);
  Control(file, true, 3, 20);
  Image(file, 4, 2, Blocks(Pack(Encode(Pattern(4, 2), 8))), 8, 0, 1000, 2000);  // outside the screen
  Control(file, true, 9, 50);
  Image(file, 3, 3, Blocks(Pack(Encode(TBytes(9, 7), 8))), 8, 0x87);
  Image(file, 2, 2, Blocks(Pack(Encode(TBytes(4, 1), 8))));
  file.push_back(0x3B);

  const TResult first = Read(file, 0);
  EXPECT_EQ(first.Count, 3);
  EXPECT_EQ(first.Bitmap->Width(), 4);
  EXPECT_EQ(first.Bitmap->Height(), 2);
  EXPECT_EQ(first.Info.Left, 1000);
  EXPECT_EQ(first.Info.Delay, 20);
  EXPECT_TRUE(first.Info.Transparent);
  EXPECT_EQ(first.Info.TransparentColor, (TRGBQuad{1, 252, 3, 0}));

  const TResult second = Read(file, 1);  // local table: entry i is Table's 255 - i, stored reversed
  EXPECT_EQ(second.Info.Delay, 50);
  EXPECT_EQ(second.Info.TransparentColor, (TRGBQuad{246, 9, 123, 0}));
  EXPECT_EQ(second.Bitmap->ScanLine(0)[0], 248);

  const TResult third = Read(file, 2);
  EXPECT_FALSE(third.Info.Transparent);
  EXPECT_EQ(third.Info.Delay, 0);

  const TResult none = Read(file, 3);
  EXPECT_FALSE(none.Bitmap);
  EXPECT_EQ(none.Count, 3);
}

TEST(Giffilter_ReadGifStream, BackgroundOnlyWithAGlobalTable) {
  TBytes file = Screen(2, 1, 7, 5, "GIF87a");
  Image(file, 2, 1, Blocks(Pack(Encode({1, 2}, 8))));
  file.push_back(0x3B);
  const TResult r = Read(file);
  EXPECT_TRUE(r.Global.HasBackground);
  EXPECT_EQ(r.Global.BackgroundColor, (TRGBQuad{2, 250, 5, 0}));
  EXPECT_FALSE(r.Info.Transparent);

  TBytes local = Screen(2, 1, -1);
  Image(local, 2, 1, Blocks(Pack(Encode({1, 2}, 2))), 2, 0x81);
  const TResult l = Read(local);
  EXPECT_FALSE(l.Global.HasBackground);
  EXPECT_EQ(l.Bitmap->ScanLine(0)[0], 2);  // local entry 1: Table(4)'s entry 2 reversed
}

TEST(Giffilter_ReadGifStream, DataEndingEarlyKeepsWhatWasDecoded) {
  const TBytes pixels = Pattern(16, 16);
  const TCodes codes = Encode(pixels, 8);
  const TCodes half(codes.begin(), codes.begin() + long(codes.size() / 2));
  for (bool terminated : {true, false}) {
    TBytes file = Screen(16, 16);
    Image(file, 16, 16, Blocks(Pack(half), 255, terminated));
    const TResult r = Read(file);
    ASSERT_TRUE(r.Bitmap);
    EXPECT_EQ(r.Bitmap->ScanLine(15)[45], 255) << "white where nothing was decoded";
    EXPECT_EQ(Indices(*r.Bitmap)[3], pixels[3]);
  }
  TBytes noData = Screen(3, 3);
  Image(noData, 3, 3, {});
  noData.pop_back();  // not even the minimum code size
  EXPECT_TRUE(Read(noData).Bitmap);
}

TEST(Giffilter_ReadGifStream, EndCodeInABlockOfItsOwnIsNotTakenForBlocks) {
  TBytes file = Screen(4, 1);
  TBytes data = Pack({{256, 9}, {1, 9}, {2, 9}, {3, 9}, {4, 9}});
  data.insert(data.end(), {0x3B, 0x2C, 0x2C});  // after the last pixel: bytes that look like blocks
  Image(file, 4, 1, Blocks(data, 6));
  Image(file, 1, 1, Blocks(Pack(Encode({9}, 8))));
  file.push_back(0x3B);
  EXPECT_EQ(Read(file).Count, 2);
}

TEST(Giffilter_ReadGifStream, RejectsBrokenFiles) {
  const TBytes good = SimpleGif(Pattern(8, 8), 8, 8);
  TBytes badSignature = good;
  badSignature[2] = 'X';
  EXPECT_EQ(Message(badSignature), "unrecognized GIF");
  EXPECT_EQ(Message(TBytes(good.begin(), good.begin() + 12)), "unrecognized GIF");
  EXPECT_EQ(Message(TBytes(good.begin(), good.begin() + 100)), "unrecognized GIF") << "colour table cut";

  TBytes shortBlock = Screen(8, 8);
  Image(shortBlock, 8, 8, {40, 1, 2, 3});
  EXPECT_EQ(Message(shortBlock), "unrecognized GIF");

  for (int width : {0, 65535}) {
    TBytes size = Screen(8, 8);
    Image(size, width, width ? 65535 : 5, Blocks(Pack(Encode({1}, 8))));
    EXPECT_EQ(Message(size), "unrecognized GIF") << width;
  }
  TBytes unfillable = Screen(8, 8);
  Image(unfillable, 4000, 4000, Blocks(Pack(Encode(TBytes(300, 1), 8))));
  EXPECT_EQ(Message(unfillable), "unrecognized GIF") << "16 million pixels from a few bytes";

  TBytes codeSize = Screen(8, 8);
  Image(codeSize, 8, 8, Blocks({0, 0, 0}), 12);
  EXPECT_EQ(Message(codeSize), "unrecognized GIF");
}

TEST(Giffilter_ReadGifStream, RejectsCodesOutsideTheTable) {
  const std::vector<TCodes> streams = {
      {{256, 9}, {1, 9}, {300, 9}},          // far beyond the next free code
      {{256, 9}, {258, 9}, {1, 9}},          // the next free code before any string: would refer to itself
      {{256, 9}, {256, 9}, {259, 9}},        // not a literal after clears
      {{256, 9}, {1, 9}, {2, 9}, {260, 9}},  // one past the next free code
  };
  for (const TCodes& codes : streams) {
    TBytes file = Screen(8, 8);
    Image(file, 8, 8, Blocks(Pack(codes)));
    EXPECT_EQ(Message(file), "unrecognized GIF") << codes.back().first;
  }
}

TEST(Giffilter_ReadGifStream, NoImageGivesNothing) {
  TBytes file = Screen(8, 8);
  file.insert(file.end(), {0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x00, 0x3B});
  const TResult r = Read(file);
  EXPECT_FALSE(r.Bitmap);
  EXPECT_EQ(r.Count, 0);
}

TEST(Giffilter_ReadGifStream, ProgressClimbsToTheLastRow) {
  for (uint8_t packed : {0x00, 0x40}) {
    TBytes file = Screen(4, 7);
    Image(file, 4, 7, Blocks(Pack(Encode(Pattern(4, 7), 8))), 8, packed);
    std::vector<int> seen;
    TProgressRec progress{TProgressEvent([&](TObject*, int percent) { seen.push_back(percent); })};
    TByteSource stream(file);
    int count = 0;
    TGlobGifInfo global;
    TGifInfo info;
    ReadGifStream(stream, 0, count, progress, global, info, TReadLimits{});
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), packed ? 100 : 89);
  }
}

TEST(Giffilter_Holder, TransparentColourBecomesBackgroundAndMissingImageKeepsThePicture) {
  const auto dir = std::filesystem::temp_directory_path() / "kaleidon-gif-holder";
  std::filesystem::create_directories(dir);
  const auto write = [&](const std::string& name, const TBytes& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
  };
  TBytes transparent = Screen(2, 2, 7, 4);
  Control(transparent, true, 6);
  Image(transparent, 2, 2, Blocks(Pack(Encode({6, 6, 1, 1}, 8))));
  TBytes empty = Screen(2, 2, 7, 4);
  empty.push_back(0x3B);
  TBytes broken = transparent;
  broken[1] = 'X';

  TImageHolder holder(nullptr);
  holder.LoadFromFile(write("t.gif", transparent));
  EXPECT_EQ(holder.Background, TColor(6 | 249 << 8 | 3 << 16));
  EXPECT_EQ(holder.Bitmap().Width(), 2);
  holder.LoadFromFile(write("e.gif", empty));
  EXPECT_EQ(holder.Bitmap().Width(), 2);
  try {
    holder.LoadFromFile(write("b.gif", broken));
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "unrecognized GIF");
  }
  std::filesystem::remove_all(dir);
}
