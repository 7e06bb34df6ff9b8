#include "imaging/Tiffilt.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

#include "framework/Exceptions.h"
#include "imaging/Tifccitt.h"
#include "imaging/Tiflzw.h"

namespace {

[[noreturn]] void Unrecognized() { throw EInvalidGraphic("unrecognized TIFF"); }

enum : uint16_t {
  tagImageWidth = 256,
  tagImageLength = 257,
  tagBitsPerSample = 258,
  tagCompression = 259,
  tagPhotometric = 262,
  tagFillOrder = 266,
  tagStripOffsets = 273,
  tagSamplesPerPixel = 277,
  tagRowsPerStrip = 278,
  tagStripByteCounts = 279,
  tagXResolution = 282,
  tagYResolution = 283,
  tagPlanarConfiguration = 284,
  tagT4Options = 292,
  tagResolutionUnit = 296,
  tagPredictor = 317,
  tagColorMap = 320,
};

enum : uint16_t { typeByte = 1, typeShort = 3, typeLong = 4 };

enum : uint32_t {
  compNone = 1,
  compHuffman = 2,
  compT4 = 3,
  compT6 = 4,
  compLZW = 5,
  compPackBits = 32773,
};

struct TEntry {
  uint16_t Tag;
  uint16_t Type;
  uint32_t Count;
  uint64_t Field;  // offset of the 4-byte value field, from the base
};

// The file from the base position on, read in its byte order. Every read is
// checked; one outside the file makes the file unrecognized.
class TTiffFile {
public:
  TTiffFile(const uint8_t* data, size_t size) : FData(data), FSize(size) {
    if (size < 8) Unrecognized();
    if (data[0] == 'I' && data[1] == 'I')
      FBigEndian = false;
    else if (data[0] == 'M' && data[1] == 'M')
      FBigEndian = true;
    else
      Unrecognized();
  }

  bool Contains(uint64_t offset, uint64_t count) const { return offset <= FSize && count <= FSize - offset; }
  size_t Size() const { return FSize; }
  const uint8_t* Data() const { return FData; }
  bool BigEndian() const { return FBigEndian; }

  uint16_t U16(uint64_t at) const {
    const uint8_t* p = At(at, 2);
    return FBigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
  }
  uint32_t U32(uint64_t at) const {
    const uint8_t* p = At(at, 4);
    return FBigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                      : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
  uint8_t U8(uint64_t at) const { return *At(at, 1); }

private:
  const uint8_t* At(uint64_t at, uint64_t count) const {
    if (!Contains(at, count)) Unrecognized();
    return FData + at;
  }

  const uint8_t* FData;
  size_t FSize;
  bool FBigEndian = false;
};

// The requested directory's entries and the length of the chain. The chain
// ends at the first directory that lies partly outside the file, at an offset
// seen before (a loop) or after maxPages directories; a page beyond that end
// does not exist.
struct TDirectory {
  std::vector<TEntry> Entries;
  bool Found = false;
  int Pages = 0;
};

TDirectory ReadDirectories(const TTiffFile& file, int page, int maxPages) {
  TDirectory result;
  std::unordered_set<uint32_t> visited;
  uint32_t offset = file.U32(4);
  while (offset != 0 && result.Pages < maxPages && visited.insert(offset).second) {
    if (!file.Contains(offset, 2)) break;
    const uint32_t count = file.U16(offset);
    const uint64_t entriesAt = uint64_t(offset) + 2;
    if (!file.Contains(entriesAt, uint64_t(count) * 12 + 4)) break;
    if (result.Pages == page) {
      result.Found = true;
      result.Entries.reserve(count);
      for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = entriesAt + uint64_t(i) * 12;
        result.Entries.push_back({file.U16(at), file.U16(at + 2), file.U32(at + 4), at + 8});
      }
    }
    offset = file.U32(entriesAt + uint64_t(count) * 12);
    ++result.Pages;
  }
  return result;
}

class TTags {
public:
  TTags(const TTiffFile& file, const std::vector<TEntry>& entries) : FFile(file), FEntries(entries) {}

  const TEntry* Find(uint16_t tag) const {
    for (const TEntry& entry : FEntries)
      if (entry.Tag == tag) return &entry;
    return nullptr;
  }

  // A single value is read at the width of its type from the value field, so
  // BYTE and SHORT values come out right in either byte order.
  uint32_t Value(uint16_t tag, uint32_t fallback) const {
    const TEntry* entry = Find(tag);
    if (!entry) return fallback;
    if (entry->Type == typeByte) return FFile.U8(entry->Field);
    if (entry->Type == typeShort) return FFile.U16(entry->Field);
    return FFile.U32(entry->Field);
  }

  // SHORT or LONG arrays, in place when they fit the value field. The count
  // is checked against the file before anything is allocated.
  std::vector<uint32_t> Array(uint16_t tag) const {
    const TEntry* entry = Find(tag);
    if (!entry) return {};
    if (entry->Count == 1) return {Value(tag, 0)};
    if (entry->Type != typeShort && entry->Type != typeLong) throw EInvalidGraphic("Invalid TIFF stream");
    const uint64_t size = entry->Type == typeShort ? 2 : 4;
    const uint64_t bytes = size * entry->Count;
    const uint64_t at = bytes <= 4 ? entry->Field : FFile.U32(entry->Field);
    if (!FFile.Contains(at, bytes)) Unrecognized();
    std::vector<uint32_t> values(entry->Count);
    for (uint32_t i = 0; i < entry->Count; ++i)
      values[i] = size == 2 ? FFile.U16(at + 2 * uint64_t(i)) : FFile.U32(at + 4 * uint64_t(i));
    return values;
  }

  // A rational outside the file reads as 0; a zero denominator counts as 1.
  double Rational(uint16_t tag) const {
    const TEntry* entry = Find(tag);
    if (!entry) return 0.0;
    const uint32_t at = FFile.U32(entry->Field);
    if (!FFile.Contains(at, 8)) return 0.0;
    const uint32_t denominator = FFile.U32(uint64_t(at) + 4);
    return double(FFile.U32(at)) / double(denominator ? denominator : 1);
  }

private:
  const TTiffFile& FFile;
  const std::vector<TEntry>& FEntries;
};

enum class TLayout { RGB, Palette, Grey, Grey16, Bilevel, PlanarRGB, WhitePage, Unsupported };

struct TParams {
  int Width = 0, Height = 0;
  uint32_t Bits = 1, Compression = compNone, Photometric = 2, FillOrder = 1, Samples = 1;
  uint32_t RowsPerStrip = 0, Planar = 1, T4Options = 0, Predictor = 1;
  std::vector<uint32_t> StripOffsets, StripByteCounts;
  std::vector<TRGBQuad> Palette;
  TLayout Layout = TLayout::Unsupported;
  size_t RowSize = 0;
};

int Resolution(double value, uint32_t unit) {
  if (unit == 3)
    value *= 2.54;
  else if (unit != 1 && unit != 2)
    return 0;
  return value >= 0 && value < 2147483647.0 ? int(value) : 0;
}

TLayout LayoutOf(const TParams& p) {
  const bool grey = p.Photometric == 0 || p.Photometric == 1;
  if (p.StripOffsets.empty()) return TLayout::WhitePage;
  if (p.Planar == 2 && p.Samples != 1)
    return p.Photometric == 2 && p.Samples == 3 && p.Bits == 8 ? TLayout::PlanarRGB : TLayout::WhitePage;
  if (p.Photometric == 2 && p.Samples == 3 && p.Bits == 8) return TLayout::RGB;
  if (p.Samples != 1) return TLayout::Unsupported;
  if (p.Photometric == 3 && (p.Bits == 8 || p.Bits == 4)) return TLayout::Palette;
  if (grey && (p.Bits == 8 || p.Bits == 4)) return TLayout::Grey;
  if (grey && p.Bits == 16 && p.Compression == compNone) return TLayout::Grey16;
  if (grey && p.Bits == 1) return TLayout::Bilevel;
  return TLayout::Unsupported;
}

// Encoded bytes of one row; planar data holds one sample per row. Only called
// for supported layouts, whose rows are at most three bytes a pixel.
size_t RowSizeOf(const TParams& p) {
  const uint64_t samples = p.Layout == TLayout::PlanarRGB ? 1 : p.Samples;
  uint64_t size = uint64_t(p.Bits) * uint64_t(p.Width) * samples / 8;
  if ((p.Bits == 4 && p.Width % 2) || (p.Bits == 1 && p.Width % 8)) ++size;
  return size_t(size);
}

std::vector<TRGBQuad> PaletteOf(const TTags& tags, uint32_t bits) {
  const std::vector<uint32_t> map = tags.Array(tagColorMap);
  const size_t n = size_t(1) << bits;
  std::vector<TRGBQuad> palette(n);
  const auto high = [&](size_t i) { return i < map.size() ? uint8_t(map[i] >> 8) : uint8_t(0); };
  for (size_t i = 0; i < n; ++i) palette[i] = {high(2 * n + i), high(n + i), high(i), 0};
  return palette;
}

TParams ReadParams(const TTags& tags, const TReadLimits& limits) {
  TParams p;
  const uint32_t width = tags.Value(tagImageWidth, 0), height = tags.Value(tagImageLength, 0);
  if (width == 0 || height == 0 || !limits.PictureFits(width, height)) Unrecognized();
  p.Width = int(width);
  p.Height = int(height);
  const std::vector<uint32_t> bits = tags.Array(tagBitsPerSample);
  if (!bits.empty()) {
    if (std::any_of(bits.begin(), bits.end(), [&](uint32_t b) { return b != bits[0]; }))
      throw EInvalidGraphic("Invalid TIFF stream");
    p.Bits = bits[0];
  }
  p.Compression = tags.Value(tagCompression, compNone);
  p.Photometric = tags.Value(tagPhotometric, 2);
  p.FillOrder = tags.Value(tagFillOrder, 1);
  p.Samples = tags.Value(tagSamplesPerPixel, 1);
  p.RowsPerStrip = tags.Value(tagRowsPerStrip, height);
  if (p.RowsPerStrip == 0 || p.RowsPerStrip > height) p.RowsPerStrip = height;
  p.Planar = tags.Value(tagPlanarConfiguration, 1);
  p.T4Options = tags.Value(tagT4Options, 0);
  p.Predictor = tags.Value(tagPredictor, 1);
  p.StripOffsets = tags.Array(tagStripOffsets);
  p.StripByteCounts = tags.Array(tagStripByteCounts);
  p.Layout = LayoutOf(p);
  if (p.Layout == TLayout::Palette) p.Palette = PaletteOf(tags, p.Bits);
  return p;
}

// The bytes of strip i, clamped to the file: a strip starting outside it is
// empty, one running past its end is cut there, and one without a byte count
// runs to the end of the file.
std::span<const uint8_t> StripData(const TTiffFile& file, const TParams& p, size_t i) {
  static const uint8_t nothing = 0;  // an empty strip still has an address to copy zero bytes from
  if (i >= p.StripOffsets.size() || p.StripOffsets[i] >= file.Size()) return {&nothing, 0};
  const size_t offset = p.StripOffsets[i], available = file.Size() - offset;
  const size_t count = i < p.StripByteCounts.size() ? std::min<size_t>(p.StripByteCounts[i], available) : available;
  return {file.Data() + offset, count};
}

// Encoded rows of one strip, each decompressed to RowSize bytes. A row the
// data cannot fill is completed with zero bytes (CCITT rows with white);
// once the data is used up, Exhausted() tells the caller to leave the rest of
// the strip as it is (white), so that a file claiming a huge picture with no
// data behind it costs no more than its page. A PackBits run that passes a
// row's end goes on in the next row; strips of compressions this reader does
// not know stay white.
class TStripRows {
public:
  TStripRows(std::span<const uint8_t> data, const TParams& p) : FData(data), FParams(p), FRow(p.RowSize + RowSlack) {
    if (p.Compression == compLZW) FLzw.emplace(data.data(), p.RowSize, data.size());
  }

  uint8_t* Next() {
    switch (FParams.Compression) {
      case compNone: Uncompressed(); break;
      case compPackBits: PackBits(); break;
      case compLZW: return FLzw->GetNextLine();
      case compHuffman: Huffman(); break;
      case compT4: FBitPos = T4Row(); break;
      case compT6: FBitPos = Row2D(); break;
      default: break;
    }
    return FRow.data();
  }

  bool Exhausted() const {
    switch (FParams.Compression) {
      case compNone:
      case compHuffman: return FPos >= FData.size();
      case compPackBits: return FPos >= FData.size() && FRunLeft == 0;
      case compLZW: return !FLzw->LineComplete();
      case compT4:
      case compT6: return FBitPos >= uint64_t(FData.size()) * 8;
      default: return true;
    }
  }

private:
  int FillOrder() const { return int(FParams.FillOrder); }

  void Uncompressed() {
    const size_t take = std::min(FParams.RowSize, FData.size() - FPos);
    std::memcpy(FRow.data(), FData.data() + FPos, take);
    std::memset(FRow.data() + take, 0, FParams.RowSize - take);
    FPos += take;
  }

  // The state is kept in locals while bytes are stored, so that the stores
  // (through byte pointers, which may alias anything) force no reloads. Runs
  // of up to 16 bytes, the usual kind, are stored as two fixed 8-byte moves
  // into the row's slack rather than through a memset or memcpy call.
  void PackBits() {
    uint8_t* const out = FRow.data();
    const uint8_t* const data = FData.data();
    const size_t size = FParams.RowSize, dataSize = FData.size();
    size_t filled = 0, pos = FPos, runLeft = FRunLeft;
    bool repeat = FRepeat;
    uint8_t value = FRunValue;
    while (filled < size) {
      if (runLeft == 0) {
        if (pos >= dataSize) break;
        const int8_t n = int8_t(data[pos++]);
        if (n == -128) continue;
        repeat = n < 0;
        runLeft = repeat ? size_t(1 - n) : size_t(n) + 1;
        if (repeat) {
          if (pos >= dataSize) {
            runLeft = 0;
            break;
          }
          value = data[pos++];
        }
      }
      const size_t want = std::min(runLeft, size - filled);
      const size_t take = repeat ? want : std::min(want, dataSize - pos);
      if (repeat && take <= RowSlack) {
        const uint64_t eight = value * 0x0101010101010101u;
        std::memcpy(out + filled, &eight, 8);
        std::memcpy(out + filled + 8, &eight, 8);
      } else if (repeat) {
        std::memset(out + filled, value, take);
      } else if (take <= RowSlack && dataSize - pos >= RowSlack) {
        std::memcpy(out + filled, data + pos, RowSlack);
      } else {
        std::memcpy(out + filled, data + pos, take);
      }
      filled += take;
      runLeft -= take;
      if (!repeat) pos += take;
      if (take < want) {
        runLeft = 0;
        break;
      }
    }
    std::memset(out + filled, 0, size - filled);
    FPos = pos;
    FRunLeft = runLeft;
    FRepeat = repeat;
    FRunValue = value;
  }

  void Huffman() {
    const size_t used = FPos < FData.size() ? CCITTHuffmanGetLine(FRow.data(), FData.data() + FPos, FData.size() - FPos,
                                                                  FParams.Width, FillOrder())
                                            : (std::memset(FRow.data(), 0xFF, FParams.RowSize), 0);
    FPos += used;
  }

  uint64_t T4Row() {
    if (FParams.T4Options & 1) return Row2D();
    return _CCITTHuffmanGetLine(FRow.data(), FData.data(), FData.size(), FParams.Width, FillOrder(), FBitPos);
  }

  uint64_t Row2D() {
    return CCITT3_2D_GetLine(FRow.data(), FData.data(), FData.size(), FParams.Width, FillOrder(), FBitPos, FFaxRows);
  }

  // Bytes past the row that short PackBits runs may overwrite.
  static constexpr size_t RowSlack = 16;

  std::span<const uint8_t> FData;
  const TParams& FParams;
  std::vector<uint8_t> FRow;
  TCcittRows FFaxRows;  // CCITT two-dimensional coding: all white at the strip's start
  std::optional<TTIFLZWDec> FLzw;
  size_t FPos = 0;
  uint64_t FBitPos = 0;
  size_t FRunLeft = 0;
  bool FRepeat = false;
  uint8_t FRunValue = 0;
};

// Turns an encoded row into one byte per sample: nibbles spread, horizontal
// differencing undone, 4-bit grey scaled to 8 bits.
const uint8_t* Samples(const TParams& p, uint8_t* row, std::vector<uint8_t>& spread, size_t samplesPerPixel) {
  uint8_t* s = row;
  if (p.Bits == 4) {
    for (size_t i = 0; i < p.RowSize; ++i) {
      spread[2 * i] = row[i] >> 4;
      spread[2 * i + 1] = row[i] & 0x0F;
    }
    s = spread.data();
  }
  if (p.Predictor == 2 && p.Bits == 8) {
    const size_t count = size_t(p.Width) * samplesPerPixel;
    for (size_t i = samplesPerPixel; i < count; ++i) s[i] = uint8_t(s[i] + s[i - samplesPerPixel]);
  }
  if (p.Bits == 4 && (p.Photometric == 0 || p.Photometric == 1))
    for (size_t i = 0; i < size_t(p.Width); ++i) s[i] = uint8_t(s[i] << 4);
  return s;
}

bool InvertsBilevel(const TParams& p) {
  const bool fax = p.Compression == compHuffman || p.Compression == compT4 || p.Compression == compT6;
  const bool other = p.Compression == compNone || p.Compression == compLZW || p.Compression == compPackBits;
  return (p.Photometric == 0 && other) || (p.Photometric == 1 && fax);
}

// Every pixel but the last moves as one four-byte load and store (the
// fourth byte stored is overwritten by the next pixel): several times faster
// than moving single bytes.
void SwapRedBlue(const uint8_t* __restrict s, uint8_t* __restrict out, size_t w) {
  static_assert(std::endian::native == std::endian::little);
  size_t x = 0;
  for (; x + 1 < w; ++x) {
    uint32_t v;
    std::memcpy(&v, s + 3 * x, 4);
    v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
    std::memcpy(out + 3 * x, &v, 4);
  }
  out[3 * x] = s[3 * x + 2];
  out[3 * x + 1] = s[3 * x + 1];
  out[3 * x + 2] = s[3 * x];
}

void PutRow(const TParams& p, const uint8_t* __restrict s, uint8_t* __restrict out, bool bigEndian) {
  const size_t w = size_t(p.Width);
  switch (p.Layout) {
    case TLayout::RGB: SwapRedBlue(s, out, w); break;
    case TLayout::Palette:
      for (size_t x = 0; x < w; ++x) {
        const TRGBQuad& c = p.Palette[s[x] & (p.Palette.size() - 1)];
        out[3 * x] = c.Blue;
        out[3 * x + 1] = c.Green;
        out[3 * x + 2] = c.Red;
      }
      break;
    case TLayout::Grey:
    case TLayout::Grey16: {
      const size_t step = p.Layout == TLayout::Grey16 ? 2 : 1, high = step == 2 && !bigEndian ? 1 : 0;
      const uint8_t flip = p.Photometric == 0 ? 0xFF : 0x00;
      for (size_t x = 0; x < w; ++x) std::memset(out + 3 * x, s[x * step + high] ^ flip, 3);
      break;
    }
    case TLayout::Bilevel:
      if (InvertsBilevel(p))
        for (size_t i = 0; i < p.RowSize; ++i) out[i] = uint8_t(~s[i]);
      else
        std::memcpy(out, s, p.RowSize);
      break;
    default: break;
  }
}

class TReader {
public:
  TReader(const TTiffFile& file, const TParams& p, TBitmap& page, TProgressRec& progress)
      : FFile(file), FParams(p), FPage(page), FProgress(progress), FSpread(2 * p.RowSize + 2) {
    FProgress.Count = 0;
    FProgress.Factor = 100.0 / p.Height;
  }

  // Strip i holds the rows from i × RowsPerStrip on; strips past the last
  // row are ignored and rows no strip data covers stay white.
  void Chunky() {
    const size_t strips = StripsPerPlane();
    for (size_t i = 0; i < strips && i < FParams.StripOffsets.size(); ++i) {
      TStripRows rows(StripData(FFile, FParams, i), FParams);
      const int first = int(i * FParams.RowsPerStrip),
                count = std::min<int>(FParams.RowsPerStrip, FParams.Height - first);
      for (int r = 0; r < count && !rows.Exhausted(); ++r) {
        uint8_t* row = rows.Next();
        const uint8_t* samples =
            FParams.Layout == TLayout::Bilevel ? row : Samples(FParams, row, FSpread, FParams.Samples);
        PutRow(FParams, samples, FPage.ScanLine(first + r), FFile.BigEndian());
        RowDone();
      }
    }
  }

  // Planes one after the other, each of StripsPerPlane() strips: band i takes
  // its red, green and blue rows from strips i, n + i and 2n + i.
  void Planar() {
    const size_t n = StripsPerPlane();
    for (size_t i = 0; i < n && 2 * n + i < FParams.StripOffsets.size(); ++i) {
      TStripRows red(StripData(FFile, FParams, i), FParams), green(StripData(FFile, FParams, n + i), FParams),
          blue(StripData(FFile, FParams, 2 * n + i), FParams);
      const int first = int(i * FParams.RowsPerStrip),
                count = std::min<int>(FParams.RowsPerStrip, FParams.Height - first);
      for (int r = 0; r < count && !(red.Exhausted() && green.Exhausted() && blue.Exhausted()); ++r) {
        const uint8_t* planes[3] = {Samples(FParams, red.Next(), FSpread, 1),
                                    Samples(FParams, green.Next(), FSpread, 1),
                                    Samples(FParams, blue.Next(), FSpread, 1)};
        uint8_t* out = FPage.ScanLine(first + r);
        for (size_t x = 0; x < size_t(FParams.Width); ++x) {
          out[3 * x] = planes[2][x];
          out[3 * x + 1] = planes[1][x];
          out[3 * x + 2] = planes[0][x];
        }
        RowDone();
      }
    }
  }

private:
  size_t StripsPerPlane() const { return (size_t(FParams.Height) + FParams.RowsPerStrip - 1) / FParams.RowsPerStrip; }

  void RowDone() {
    ++FProgress.Count;
    if (FProgress.Assigned()) FProgress.Report(int(FProgress.Count * FProgress.Factor));
  }

  const TTiffFile& FFile;
  const TParams& FParams;
  TBitmap& FPage;
  TProgressRec& FProgress;
  std::vector<uint8_t> FSpread;
};

}  // namespace

std::unique_ptr<TBitmap> TIFFReadStream(TByteSource& stream, int page, int& pageCount, TProgressRec& progress,
                                        int& xDpi, int& yDpi, const TReadLimits& limits) {
  const size_t base = stream.Position();
  const TTiffFile file(stream.Data() + base, stream.Size() - base);
  const TDirectory directory = ReadDirectories(file, page, limits.MaxPages);
  pageCount = directory.Pages;
  if (!directory.Found || directory.Entries.empty()) return nullptr;
  const TTags tags(file, directory.Entries);
  TParams p = ReadParams(tags, limits);
  const uint32_t unit = tags.Value(tagResolutionUnit, 2);
  xDpi = Resolution(tags.Rational(tagXResolution), unit);
  yDpi = Resolution(tags.Rational(tagYResolution), unit);

  const bool bilevel = p.Bits == 1 && p.Samples == 1;
  auto bitmap = std::make_unique<TBitmap>(p.Width, p.Height, bilevel ? TPixelFormat::pf1bit : TPixelFormat::pf24bit);
  if (p.Layout == TLayout::WhitePage) return bitmap;
  if (p.Layout == TLayout::Unsupported) throw EInvalidGraphicOperation("Scan line index out of range");
  p.RowSize = RowSizeOf(p);
  TReader reader(file, p, *bitmap, progress);
  if (p.Layout == TLayout::PlanarRGB)
    reader.Planar();
  else
    reader.Chunky();
  return bitmap;
}
