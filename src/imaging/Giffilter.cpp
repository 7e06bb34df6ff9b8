#include "imaging/Giffilter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Files.h"

namespace {

[[noreturn]] void Unrecognized() { throw EInvalidGraphic("unrecognized GIF"); }

constexpr uint8_t ExtensionIntroducer = 0x21;
constexpr uint8_t ImageSeparator = 0x2C;
constexpr uint8_t Trailer = 0x3B;
constexpr uint8_t GraphicControlLabel = 0xF9;
constexpr int TableSize = 4096;
constexpr int MaxCodeBits = 12;

// 256 entries of blue, green, red; entries a file does not set stay black.
using TColourTable = std::array<std::array<uint8_t, 3>, 256>;

struct TGraphicControl {
  bool Transparent = false;
  uint8_t TransparentIndex = 0;
  uint16_t Delay = 0;
};

// The file stores red, green, blue; we keep the bitmap's order.
void ReadColourTable(TByteSource& stream, int sizeBits, TColourTable& table) {
  const size_t entries = size_t{2} << sizeBits;
  if (stream.Remaining() < entries * 3) Unrecognized();
  const uint8_t* rgb = stream.Data() + stream.Position();
  for (size_t i = 0; i < entries; ++i, rgb += 3) table[i] = {rgb[2], rgb[1], rgb[0]};
  stream.Skip(entries * 3);
}

// A block cut short by the end of the file ends the walk there: what was
// decoded before it is kept.
void SkipSubBlocks(TByteSource& stream) {
  while (stream.Remaining() > 0) {
    const uint8_t size = stream.ReadByte();
    if (size == 0) return;
    stream.Skip(std::min<size_t>(size, stream.Remaining()));
  }
}

// A graphic control block shorter than its four fields is ignored; a longer
// one, or one followed by more sub-blocks, is stepped over to its terminator
// so that its bytes are never taken for blocks of their own.
void ReadGraphicControl(TByteSource& stream, TGraphicControl& control) {
  if (stream.Remaining() == 0) return;
  const uint8_t size = stream.ReadByte();
  if (size >= 4 && stream.Remaining() >= 4) {
    const uint8_t packed = stream.ReadByte();
    control.Delay = stream.ReadU16LE();
    control.TransparentIndex = stream.ReadByte();
    control.Transparent = packed & 1;
    stream.Skip(std::min<size_t>(size - 4u, stream.Remaining()));
  } else {
    stream.Skip(std::min<size_t>(size, stream.Remaining()));
  }
  SkipSubBlocks(stream);
}

// The codes of one image's data sub-blocks, least significant bit first
// across byte and block boundaries.
class TCodeReader {
public:
  explicit TCodeReader(TByteSource& stream) : FStream(stream) {}

  // The next code of `bits` bits, or -1 once the data has ended.
  int Next(int bits) {
    if (FCount < bits && !Fill(bits)) return -1;
    const int code = static_cast<int>(FBits & ((uint64_t{1} << bits) - 1));
    FBits >>= bits;
    FCount -= bits;
    return code;
  }

  // Steps over the sub-blocks that follow the ones read, up to the terminator.
  void SkipRest() {
    if (!FEnded) SkipSubBlocks(FStream);
    FEnded = true;
  }

private:
  bool Fill(int bits) {
    while (FCount < bits) {
      if (FLeft == 0 && !NextBlock()) return false;
      while (FCount <= 56 && FLeft > 0) {
        FBits |= uint64_t{*FBlock++} << FCount;
        FCount += 8;
        --FLeft;
      }
    }
    return true;
  }

  // A zero size, or the end of the file where a size belongs, ends the data;
  // a block whose bytes are not all there is a broken file.
  bool NextBlock() {
    if (FEnded || FStream.Remaining() == 0) {
      FEnded = true;
      return false;
    }
    const uint8_t size = FStream.ReadByte();
    if (size == 0) {
      FEnded = true;
      return false;
    }
    if (FStream.Remaining() < size) Unrecognized();
    FBlock = FStream.Data() + FStream.Position();
    FLeft = size;
    FStream.Skip(size);
    return true;
  }

  TByteSource& FStream;
  const uint8_t* FBlock = nullptr;
  size_t FLeft = 0;
  uint64_t FBits = 0;
  int FCount = 0;
  bool FEnded = false;
};

// LZW with a 4096-entry table into one buffer of all the image's indices.
// Every table string already stands in that buffer: an entry is the string
// output before the code that made it plus that code's first index, which
// follows it there. So an entry is kept as a position and a length, and its
// string is copied, not walked backwards through a prefix chain: long runs
// cost a copy, not a dependent load per pixel. Positions only point back, so
// no entry can refer to itself; the codes that would make one (a first code
// after a clear that is no literal, a code beyond the next free entry) are
// rejected when they arrive.
class TLzwDecoder {
public:
  // Room after the last pixel: the longest string and a short copy's overshoot.
  static constexpr size_t Slack = TableSize + 16;

  TLzwDecoder(TCodeReader& codes, int minCodeSize, size_t pixels)
      : FCodes(codes), FStartBits(minCodeSize + 1), FClear(1 << minCodeSize), FEnd(FClear + 1), FOut(pixels + Slack) {
    FLength.fill(1);
    Clear();
  }

  bool Finished() const { return FFinished; }
  const uint8_t* Indices() const { return FOut.data(); }

  // Decodes until at least `count` indices are in the buffer or the data
  // ends; returns how many of the first `count` there are.
  size_t DecodeTo(size_t count) {
    while (FPos < count && !FFinished) {
      const int code = FCodes.Next(FBits);
      if (code < 0) {
        FFinished = true;
      } else if (code == FClear) {
        Clear();
      } else if (code == FEnd) {
        FCodes.SkipRest();
        FFinished = true;
      } else if (FPrev < 0) {
        if (code > FClear) Unrecognized();
        FPrev = code;
        FPrevPos = FPos;
        FOut[FPos++] = static_cast<uint8_t>(code);  // literals above 255 keep their low byte
      } else {
        Expand(code);
      }
    }
    return std::min(FPos, count);
  }

private:
  void Clear() {
    FBits = FStartBits;
    FLimit = 2 * FClear;
    FFree = FClear + 2;
    FPrev = -1;
  }

  // Writes the string of `code`, or for the next free code the previous
  // string plus its own first index, and enters the new table entry.
  void Expand(int code) {
    if (code > FFree) Unrecognized();
    uint8_t* out = FOut.data() + FPos;
    size_t length = 1;
    if (code < FClear) {
      *out = static_cast<uint8_t>(code);
    } else if (code < FFree) {
      length = FLength[size_t(code)];
      Copy(out, FOut.data() + FWhere[size_t(code)], length);
    } else {
      length = size_t(FLength[size_t(FPrev)]) + 1;
      Copy(out, FOut.data() + FPrevPos, length - 1);
      out[length - 1] = FOut[FPrevPos];
    }
    AddEntry();
    FPrev = code;
    FPrevPos = FPos;
    FPos += length;
  }

  // The source lies wholly before the target; short strings, the usual
  // case, go as one fixed-size copy into the buffer's slack.
  static void Copy(uint8_t* out, const uint8_t* from, size_t length) {
    if (length <= 16 && out - from >= 16)
      std::memcpy(out, from, 16);
    else
      std::memcpy(out, from, length);
  }

  void AddEntry() {
    if (FFree >= TableSize) return;
    FWhere[size_t(FFree)] = FPrevPos;
    FLength[size_t(FFree)] = static_cast<uint16_t>(FLength[size_t(FPrev)] + 1);
    ++FFree;
    if (FFree >= FLimit && FLimit < TableSize) {
      FLimit *= 2;
      ++FBits;
    }
  }

  TCodeReader& FCodes;
  const int FStartBits;
  const int FClear;
  const int FEnd;
  int FBits = 0;
  int FLimit = 0;
  int FFree = 0;
  int FPrev = -1;
  size_t FPrevPos = 0;
  size_t FPos = 0;
  bool FFinished = false;
  std::vector<uint8_t> FOut;
  std::array<size_t, TableSize> FWhere{};
  std::array<uint16_t, TableSize> FLength{};
};

// Rows in file order: top to bottom, or the four interlace passes.
class TRowOrder {
public:
  TRowOrder(int height, bool interlaced) : FHeight(height), FPass(interlaced ? 0 : 4) {}

  int Next() {
    const int y = FRow;
    FRow += Steps[size_t(FPass)];
    while (FRow >= FHeight && FPass < 3) {
      ++FPass;
      FRow = Starts[size_t(FPass)];
    }
    return y;
  }

private:
  static constexpr std::array<int, 5> Starts{0, 4, 2, 1, 0};
  static constexpr std::array<int, 5> Steps{8, 8, 4, 2, 1};
  int FHeight;
  int FPass;
  int FRow = 0;
};

// Colours as 0x00RRGGBB words, so that each pixel but a row's last is stored
// as four bytes, the fourth overwritten by the next pixel: one store, not two.
using TWideTable = std::array<uint32_t, 256>;

TWideTable Widen(const TColourTable& colours) {
  TWideTable wide;
  for (size_t i = 0; i < 256; ++i) wide[i] = colours[i][0] | colours[i][1] << 8 | uint32_t(colours[i][2]) << 16;
  return wide;
}

void PaintRow(const uint8_t* indices, size_t count, const TWideTable& colours, uint8_t* out) {
  if (count == 0) return;
  for (size_t x = 0; x + 1 < count; ++x, out += 3) std::memcpy(out, &colours[indices[x]], 4);
  const uint32_t last = colours[indices[count - 1]];
  out[0] = uint8_t(last), out[1] = uint8_t(last >> 8), out[2] = uint8_t(last >> 16);
}

void ReportRow(const TProgressRec& progress, bool interlaced, int64_t row, int64_t width, int64_t height) {
  if (!progress.Assigned()) return;
  if (interlaced)
    progress.Report(static_cast<int>((row + 1) * 100 / height));
  else
    progress.Report(static_cast<int>((row * width + 1) * 100 / (width * height)));
}

// Pixels the data never reaches stay white. Once the last pixel is in, the
// image's remaining sub-blocks are stepped over, so that an end code spilling
// into a block of its own is not read as the start of a new block.
void DecodePixels(TByteSource& stream, TBitmap& bitmap, const TColourTable& colours, bool interlaced,
                  const TProgressRec& progress) {
  if (stream.Remaining() == 0) return;
  const int minCodeSize = stream.ReadByte();
  if (minCodeSize > MaxCodeBits - 1) Unrecognized();
  TCodeReader codes(stream);
  const size_t width = size_t(bitmap.Width());
  TLzwDecoder lzw(codes, minCodeSize, width * size_t(bitmap.Height()));
  TRowOrder order(bitmap.Height(), interlaced);
  const TWideTable wide = Widen(colours);
  for (int done = 0; done < bitmap.Height(); ++done) {
    ReportRow(progress, interlaced, done, bitmap.Width(), bitmap.Height());
    const int y = order.Next();
    const size_t start = size_t(done) * width;
    const size_t have = lzw.DecodeTo(start + width);
    PaintRow(lzw.Indices() + start, have - start, wide, bitmap.ScanLine(y));
    if (have < start + width) return;
  }
  if (!lzw.Finished()) codes.SkipRest();
}

// A b-bit code stands for at most 2^b pixels, so no byte of data can give
// more than 8 * 4096 / 12 < 2731 of them. A picture its remaining file could
// not fill even so is refused before its bitmap is made, unless it is small:
// a file cut short keeps loading, a header alone cannot claim a gigabyte.
bool DataCouldFill(int64_t pixels, size_t remaining) {
  constexpr int64_t SmallPicture = 65536;
  constexpr int64_t MostPixelsPerByte = 2731;
  return pixels <= SmallPicture || pixels / MostPixelsPerByte <= int64_t(remaining);
}

std::unique_ptr<TBitmap> ReadImage(TByteSource& stream, const TColourTable& global, const TGraphicControl& control,
                                   TGifInfo& info, TProgressRec& progress, const TReadLimits& limits) {
  if (stream.Remaining() < 9) Unrecognized();
  info.Left = stream.ReadU16LE();
  info.Top = stream.ReadU16LE();
  info.Width = stream.ReadU16LE();
  info.Height = stream.ReadU16LE();
  const uint8_t packed = stream.ReadByte();
  info.Interlaced = packed & 0x40;
  TColourTable local{};
  const bool hasLocal = packed & 0x80;
  if (hasLocal) ReadColourTable(stream, packed & 7, local);
  const TColourTable& colours = hasLocal ? local : global;
  info.Delay = control.Delay;
  info.Transparent = control.Transparent;
  const auto& clear = colours[control.TransparentIndex];
  info.TransparentColor = control.Transparent ? TRGBQuad{clear[0], clear[1], clear[2], 0} : TRGBQuad{};
  if (info.Width == 0 || info.Height == 0 || !limits.PictureFits(info.Width, info.Height) ||
      !DataCouldFill(int64_t{info.Width} * info.Height, stream.Remaining()))
    Unrecognized();
  auto bitmap = std::make_unique<TBitmap>(info.Width, info.Height);
  DecodePixels(stream, *bitmap, colours, info.Interlaced, progress);
  return bitmap;
}

// False when the file ends inside the descriptor or its colour table: the
// images before it still count.
bool SkipImage(TByteSource& stream) {
  if (stream.Remaining() < 9) return false;
  stream.Skip(8);
  const uint8_t packed = stream.ReadByte();
  if (packed & 0x80) {
    const size_t bytes = (size_t{2} << (packed & 7)) * 3;
    if (stream.Remaining() < bytes) return false;
    stream.Skip(bytes);
  }
  if (stream.Remaining() > 0) stream.Skip(1);  // minimum code size
  SkipSubBlocks(stream);
  return true;
}

void ReadScreen(TByteSource& stream, TGlobGifInfo& globalInfo, TColourTable& global) {
  if (stream.Remaining() < 13) Unrecognized();
  const uint8_t* header = stream.Data() + stream.Position();
  if (std::memcmp(header, "GIF", 3) != 0) Unrecognized();
  stream.Skip(6);
  globalInfo.Width = stream.ReadU16LE();
  globalInfo.Height = stream.ReadU16LE();
  const uint8_t packed = stream.ReadByte();
  const uint8_t background = stream.ReadByte();
  globalInfo.Aspect = stream.ReadByte();
  if (!(packed & 0x80)) return;
  ReadColourTable(stream, packed & 7, global);
  globalInfo.HasBackground = true;
  const auto& entry = global[background];
  globalInfo.BackgroundColor = TRGBQuad{entry[0], entry[1], entry[2], 0};
}

}  // namespace

// The end of the file stands for the trailer, so a file cut short after the
// wanted image still gives it.
std::unique_ptr<TBitmap> ReadGifStream(TByteSource& stream, int index, int& imageCount, TProgressRec& progress,
                                       TGlobGifInfo& globalInfo, TGifInfo& imageInfo, const TReadLimits& limits) {
  TColourTable global{};
  ReadScreen(stream, globalInfo, global);
  TGraphicControl control;
  std::unique_ptr<TBitmap> result;
  imageCount = 0;
  while (stream.Remaining() > 0) {
    const uint8_t block = stream.ReadByte();
    if (block == Trailer) break;
    if (block == ExtensionIntroducer) {
      if (stream.Remaining() == 0) break;
      const uint8_t label = stream.ReadByte();
      if (label == GraphicControlLabel && imageCount == index)
        ReadGraphicControl(stream, control);
      else
        SkipSubBlocks(stream);
    } else if (block == ImageSeparator) {
      if (imageCount == index)
        result = ReadImage(stream, global, control, imageInfo, progress, limits);
      else if (!SkipImage(stream))
        break;
      ++imageCount;
    }
  }
  return result;
}

std::unique_ptr<TBitmap> ReadGif(const std::string& fileName, int index, int& imageCount, TProgressRec& progress,
                                 TGlobGifInfo& globalInfo, TGifInfo& imageInfo, const TReadLimits& limits) {
  const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  TByteSource stream(bytes);
  return ReadGifStream(stream, index, imageCount, progress, globalInfo, imageInfo, limits);
}
