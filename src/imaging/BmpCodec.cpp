#include "imaging/BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

#include "framework/Exceptions.h"
#include "framework/Files.h"

namespace {

constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t MasksInHeaderSize = 52;  // the V2 header and later carry the masks at 40

enum : uint32_t { biRGB = 0, biRLE8 = 1, biRLE4 = 2, biBitFields = 3 };

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap image is not valid"); }

struct TInfo {
  bool Core = false;
  uint32_t HeaderSize = 0;
  int64_t Width = 0;
  int64_t Height = 0;  // negative: rows stored top-down
  uint16_t Planes = 0;
  uint16_t BitCount = 0;
  uint32_t Compression = biRGB;
  uint32_t SizeImage = 0;
  uint32_t ClrUsed = 0;
  std::array<uint32_t, 3> Masks{};  // red, green, blue
};

// Blue, green, red of each palette index; indices beyond the file's table
// have no colour of their own and show black.
using TColours = std::array<std::array<uint8_t, 3>, 256>;

TInfo ReadInfo(TByteSource& stream) {
  TInfo info;
  info.HeaderSize = stream.ReadU32LE();
  if (info.HeaderSize == CoreHeaderSize) {
    info.Core = true;
    info.Width = stream.ReadU16LE();
    info.Height = stream.ReadU16LE();
    info.Planes = stream.ReadU16LE();
    info.BitCount = stream.ReadU16LE();
    return info;
  }
  if (info.HeaderSize < InfoHeaderSize) Invalid();
  info.Width = int32_t(stream.ReadU32LE());
  info.Height = int32_t(stream.ReadU32LE());
  info.Planes = stream.ReadU16LE();
  info.BitCount = stream.ReadU16LE();
  info.Compression = stream.ReadU32LE();
  info.SizeImage = stream.ReadU32LE();
  stream.Skip(8);  // pixels per metre
  info.ClrUsed = stream.ReadU32LE();
  stream.Skip(4);  // important colours
  uint64_t rest = info.HeaderSize - InfoHeaderSize;
  if (info.HeaderSize >= MasksInHeaderSize) {
    for (uint32_t& mask : info.Masks) mask = stream.ReadU32LE();
    rest -= 12;
  }
  stream.Skip(rest);
  return info;
}

// The platform makes no bitmap of a negative width, nor of compressed rows
// stored top-down.
bool Valid(const TInfo& info) {
  if (info.Planes != 1 || info.Width < 0) return false;
  switch (info.Compression) {
    case biRGB:
      return info.BitCount == 1 || info.BitCount == 4 || info.BitCount == 8 || info.BitCount == 16 ||
             info.BitCount == 24 || info.BitCount == 32;
    case biRLE8: return info.BitCount == 8 && info.Height >= 0;
    case biRLE4: return info.BitCount == 4 && info.Height >= 0;
    case biBitFields:
      return (info.BitCount == 16 || info.BitCount == 32) &&
             (info.HeaderSize == InfoHeaderSize || info.HeaderSize >= MasksInHeaderSize);
    default: return false;
  }
}

// Plain 16-bit files are 5-5-5 and plain 32-bit ones 8-8-8, as if they had
// those masks; the masks of a 40-byte header follow it.
void ReadMasks(TByteSource& stream, TInfo& info) {
  if (info.Compression == biBitFields) {
    if (info.HeaderSize == InfoHeaderSize)
      for (uint32_t& mask : info.Masks) mask = stream.ReadU32LE();
  } else if (info.BitCount == 16) {
    info.Masks = {0x7C00, 0x03E0, 0x001F};
  } else if (info.BitCount == 32) {
    info.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
}

// The colour table as the file holds it (3-byte entries after a core header),
// all of it passed over, at most 2^depth entries kept: only those can be indexed.
std::vector<TRGBQuad> ReadColourTable(TByteSource& stream, const TInfo& info) {
  const uint64_t count = info.ClrUsed ? info.ClrUsed : (info.BitCount <= 8 ? 1u << info.BitCount : 0);
  const uint64_t entryBytes = info.Core ? 3 : 4;
  const auto bytes = stream.View(stream.Position(), count * entryBytes);
  stream.Skip(bytes.size());
  const uint64_t kept = info.BitCount <= 8 ? std::min<uint64_t>(count, 1u << info.BitCount) : 0;
  std::vector<TRGBQuad> table(kept);
  for (size_t i = 0; i < table.size(); ++i) {
    const uint8_t* entry = bytes.data() + i * entryBytes;
    table[i] = TRGBQuad{entry[0], entry[1], entry[2], 0};
  }
  return table;
}

TColours ColoursOf(const std::vector<TRGBQuad>& table) {
  TColours colours{};
  for (size_t i = 0; i < table.size(); ++i) colours[i] = {table[i].Blue, table[i].Green, table[i].Red};
  return colours;
}

// One colour channel of a bit-field pixel, scaled to 8 bits as the platform's
// bitmap does it: the field is the run of set mask bits from the lowest one up
// (bits above a gap are ignored), a field of 8 bits or more keeps its top 8,
// a narrower one is shifted up and its bits repeated once below (5 bits v give
// v << 3 | v >> 2, 1 bit gives 0xC0). Matching that keeps our pixels equal to
// what the desktop shows for the same file.
class TChannel {
public:
  explicit TChannel(uint32_t mask) {
    if (!mask) return;
    FShift = std::countr_zero(mask);
    FBits = std::countr_one(mask >> FShift);
  }
  uint8_t operator()(uint32_t pixel) const {
    if (!FBits) return 0;
    const uint32_t value = (pixel >> FShift) & (FBits == 32 ? ~0u : (1u << FBits) - 1);
    if (FBits >= 8) return uint8_t(value >> (FBits - 8));
    const uint32_t level = value << (8 - FBits);
    return uint8_t(level | level >> FBits);
  }

private:
  int FShift = 0;
  int FBits = 0;
};

class TPixelDecoder {
public:
  TPixelDecoder(const TInfo& info, const TColours& colours) : FInfo(info), FColours(colours) {
    if (info.BitCount == 16) BuildTable16();
  }

  // Converts the pixels whose bytes are all present in one stored row.
  void Row(const uint8_t* in, size_t bytes, uint8_t* out, size_t width) const {
    const size_t pixels = std::min<size_t>(width, bytes * 8 / FInfo.BitCount);
    switch (FInfo.BitCount) {
      case 1: std::memcpy(out, in, std::min(bytes, (width + 7) / 8)); break;
      case 4:
        for (size_t x = 0; x < pixels; ++x) Put(out, x, FColours[x & 1 ? in[x / 2] & 0x0F : in[x / 2] >> 4]);
        break;
      case 8:
        for (size_t x = 0; x < pixels; ++x) Put(out, x, FColours[in[x]]);
        break;
      case 16:
        for (size_t x = 0; x < pixels; ++x) Put(out, x, FTable16[size_t(in[2 * x] | in[2 * x + 1] << 8)]);
        break;
      case 24: std::memcpy(out, in, pixels * 3); break;
      case 32: Row32(in, out, pixels); break;
    }
  }

private:
  static void Put(uint8_t* out, size_t x, const std::array<uint8_t, 3>& colour) {
    std::memcpy(out + x * 3, colour.data(), 3);
  }

  void BuildTable16() {
    const TChannel red(FInfo.Masks[0]), green(FInfo.Masks[1]), blue(FInfo.Masks[2]);
    FTable16.resize(65536);
    for (uint32_t pixel = 0; pixel < 65536; ++pixel) FTable16[pixel] = {blue(pixel), green(pixel), red(pixel)};
  }

  void Row32(const uint8_t* in, uint8_t* out, size_t pixels) const {
    if (FInfo.Masks == std::array<uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF}) {
      for (size_t x = 0; x < pixels; ++x) std::memcpy(out + x * 3, in + x * 4, 3);
      return;
    }
    const TChannel red(FInfo.Masks[0]), green(FInfo.Masks[1]), blue(FInfo.Masks[2]);
    for (size_t x = 0; x < pixels; ++x) {
      const uint8_t* p = in + x * 4;
      const uint32_t pixel = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
      Put(out, x, {blue(pixel), green(pixel), red(pixel)});
    }
  }

  const TInfo& FInfo;
  const TColours& FColours;
  std::vector<std::array<uint8_t, 3>> FTable16;
};

// The bitmap row of the n-th stored row.
uint8_t* StoredRow(TBitmap& bitmap, const TInfo& info, int64_t n) {
  return bitmap.ScanLine(static_cast<int>(info.Height < 0 ? n : bitmap.Height() - 1 - n));
}

void DecodePlain(std::span<const uint8_t> data, const TInfo& info, const TColours& colours, TBitmap& bitmap) {
  const TPixelDecoder decoder(info, colours);
  const uint64_t stride = (uint64_t(info.Width) * info.BitCount + 31) / 32 * 4;
  for (int64_t n = 0; n < bitmap.Height(); ++n) {
    const uint64_t offset = uint64_t(n) * stride;
    if (offset >= data.size()) break;
    const size_t bytes = static_cast<size_t>(std::min<uint64_t>(stride, data.size() - offset));
    decoder.Row(data.data() + offset, bytes, StoredRow(bitmap, info, n), size_t(bitmap.Width()));
  }
}

// Run-length pixels as the bitmap format defines them: a run is a count and a
// value (RLE4: two indices alternating), an escape 0 ends the line, 1 ends the
// picture, 2 moves right and up by the next two bytes, 3 to 255 start that many
// literal pixels padded to a 16-bit boundary. Pixels past the end of a row or
// the picture are dropped rather than wrapped, and skipped pixels stay white.
class TRleDecoder {
public:
  TRleDecoder(const TInfo& info, const TColours& colours, TBitmap& bitmap)
      : FInfo(info), FColours(colours), FBitmap(bitmap), FNibbles(info.Compression == biRLE4) {}

  void Decode(std::span<const uint8_t> data) {
    size_t pos = 0;
    while (data.size() - pos >= 2 && FY < FBitmap.Height()) {
      const uint8_t count = data[pos], value = data[pos + 1];
      pos += 2;
      if (count) {
        Run(count, value);
      } else if (value == 0) {
        FX = 0;
        ++FY;
      } else if (value == 1) {
        return;
      } else if (value == 2) {
        if (data.size() - pos < 2) return;
        FX += data[pos];
        FY += data[pos + 1];
        pos += 2;
      } else {
        pos = Literal(data, pos, value);
      }
    }
  }

private:
  void Put(int64_t x, uint8_t index) {
    if (x >= FBitmap.Width()) return;
    std::memcpy(StoredRow(FBitmap, FInfo, FY) + x * 3, FColours[index].data(), 3);
  }

  void Run(int count, uint8_t value) {
    const int64_t visible = std::min<int64_t>(count, FBitmap.Width() - std::min<int64_t>(FX, FBitmap.Width()));
    for (int64_t i = 0; i < visible; ++i) Put(FX + i, FNibbles ? (i & 1 ? value & 0x0F : value >> 4) : value);
    FX += count;
  }

  size_t Literal(std::span<const uint8_t> data, size_t pos, int count) {
    const size_t bytes = FNibbles ? size_t(count + 1) / 2 : size_t(count);
    const size_t present = std::min(bytes, data.size() - pos);
    const int pixels = std::min<int>(count, int(FNibbles ? present * 2 : present));
    for (int i = 0; i < pixels; ++i) {
      const uint8_t byte = data[pos + size_t(FNibbles ? i / 2 : i)];
      Put(FX + i, FNibbles ? (i & 1 ? byte & 0x0F : byte >> 4) : byte);
    }
    FX += count;
    return pos + std::min((bytes + 1) & ~size_t{1}, data.size() - pos);
  }

  const TInfo& FInfo;
  const TColours& FColours;
  TBitmap& FBitmap;
  const bool FNibbles;
  int64_t FX = 0;
  int64_t FY = 0;  // stored row
};

// The two table colours (a missing one black) and, for the rows a short file
// does not hold, the index of the brighter one: the widening shows that one
// white, so those rows come out white whichever order the table has.
void FillOneBit(TBitmap& bitmap, const std::vector<TRGBQuad>& table) {
  for (size_t i = 0; i < 2; ++i) bitmap.Palette[i] = i < table.size() ? table[i] : TRGBQuad{};
  if (bitmap.ByteSize() && Brightness(bitmap.Palette[1]) < Brightness(bitmap.Palette[0]))
    std::memset(bitmap.Bits(), 0, bitmap.ByteSize());
}

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

}  // namespace

std::unique_ptr<TBitmap> ReadBitmapStream(TByteSource& stream, const TReadLimits& limits) {
  if (stream.Remaining() == 0) return std::make_unique<TBitmap>();
  uint8_t fileHeader[14];
  stream.Read(fileHeader, sizeof fileHeader);
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') Invalid();
  TInfo info = ReadInfo(stream);
  if (!Valid(info)) Invalid();
  ReadMasks(stream, info);
  const std::vector<TRGBQuad> table = ReadColourTable(stream, info);

  const int64_t height = info.Height < 0 ? -info.Height : info.Height;
  const TPixelFormat format = info.BitCount == 1 ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  if (!limits.PictureFits(info.Width, height)) Invalid();
  auto bitmap = std::make_unique<TBitmap>(static_cast<int>(info.Width), static_cast<int>(height), format);
  if (format == TPixelFormat::pf1bit) FillOneBit(*bitmap, table);
  if (bitmap->Empty()) return bitmap;

  // A run-length file's size field is its only length; without one the
  // codes run to the end of the file.
  const bool runLength = info.Compression == biRLE8 || info.Compression == biRLE4;
  const uint64_t stored = (uint64_t(info.Width) * info.BitCount + 31) / 32 * 4 * uint64_t(height);
  const uint64_t declared = info.SizeImage ? info.SizeImage : runLength ? stream.Remaining() : stored;
  const auto data = stream.View(stream.Position(), std::min<uint64_t>(declared, stream.Remaining()));
  stream.Skip(data.size());

  const TColours colours = ColoursOf(table);
  if (runLength) {
    TRleDecoder(info, colours, *bitmap).Decode(data);
    bitmap->Palette = table;
  } else {
    DecodePlain(data, info, colours, *bitmap);
  }
  return bitmap;
}

namespace {

// Everything in front of the rows: file header, info header and colour table.
std::vector<uint8_t> BitmapFileHeader(const TBitmap& bitmap) {
  const bool oneBit = bitmap.PixelFormat() == TPixelFormat::pf1bit;
  const std::vector<TRGBQuad> table =
      oneBit ? std::vector<TRGBQuad>{TRGBQuad{0, 0, 0, 0}, TRGBQuad{255, 255, 255, 0}} : bitmap.Palette;
  const uint32_t offset = 14 + InfoHeaderSize + 4 * uint32_t(table.size());
  const uint32_t imageSize = uint32_t(bitmap.ByteSize());
  std::vector<uint8_t> out;
  out.reserve(offset);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, offset + imageSize);
  PutU32(out, 0);  // reserved
  PutU32(out, offset);
  PutU32(out, InfoHeaderSize);
  PutU32(out, uint32_t(bitmap.Width()));
  PutU32(out, uint32_t(bitmap.Height()));
  PutU16(out, 1);  // planes
  PutU16(out, oneBit ? 1 : 24);
  PutU32(out, biRGB);
  PutU32(out, imageSize);
  PutU32(out, 0);  // pixels per metre
  PutU32(out, 0);
  PutU32(out, uint32_t(table.size()));
  PutU32(out, 0);  // important colours
  for (const TRGBQuad& entry : table) {
    out.push_back(entry.Blue);
    out.push_back(entry.Green);
    out.push_back(entry.Red);
    out.push_back(0);
  }
  return out;
}

// The file image as pieces: the header, then the bitmap's own rows bottom-up.
std::vector<std::span<const uint8_t>> FilePieces(const std::vector<uint8_t>& header, const TBitmap& bitmap) {
  std::vector<std::span<const uint8_t>> pieces;
  pieces.reserve(size_t(bitmap.Height()) + 1);
  pieces.emplace_back(header);
  for (int y = bitmap.Height() - 1; y >= 0; --y) pieces.emplace_back(bitmap.ScanLine(y), bitmap.Stride());
  return pieces;
}

}  // namespace

std::vector<uint8_t> WriteBitmapStream(const TBitmap& bitmap) {
  const std::vector<uint8_t> header = BitmapFileHeader(bitmap);
  std::vector<uint8_t> out;
  out.reserve(header.size() + bitmap.ByteSize());
  for (std::span<const uint8_t> piece : FilePieces(header, bitmap)) out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

// The rows go to the file straight from the bitmap: a wallpaper-sized save
// then costs little more than the write itself.
void WriteBitmapFile(const std::string& fileName, const TBitmap& bitmap) {
  const std::vector<uint8_t> header = BitmapFileHeader(bitmap);
  WriteWholeFileAtomic(fileName, FilePieces(header, bitmap));
}
