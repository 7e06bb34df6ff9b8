#include "imaging/Pcxfilter.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Files.h"

namespace {

[[noreturn]] void Unrecognized() { throw EInvalidGraphic("unrecognized PCX"); }

constexpr size_t HeaderBytes = 128;
constexpr size_t PaletteBytes = 768;

struct THeader {
  int BitsPerPixel = 0;
  int Planes = 0;
  bool RunLength = false;
  int64_t Width = 0;
  int64_t Height = 0;
  int XDpi = 0;
  int YDpi = 0;
  size_t BytesPerLine = 0;
  const uint8_t* Palette16 = nullptr;  // 16 entries of red, green, blue
};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

THeader ParseHeader(std::span<const uint8_t> h) {
  if (h[0] != 10 || h[3] > 8 || (h[65] != 1 && h[65] != 3) || h[2] > 1) Unrecognized();
  THeader header;
  header.BitsPerPixel = h[3];
  header.Planes = h[65];
  header.RunLength = h[2] == 1;
  header.Width = int64_t{U16(&h[8])} - U16(&h[4]) + 1;
  header.Height = int64_t{U16(&h[10])} - U16(&h[6]) + 1;
  header.XDpi = U16(&h[12]);
  header.YDpi = U16(&h[14]);
  header.BytesPerLine = U16(&h[66]);
  header.Palette16 = &h[16];
  return header;
}

// A plane line must hold the pixels of its row, at least a bit each (depths
// left white included), and the data at least the shortest encoding of every
// line: so no header can make us allocate a picture its file cannot fill.
bool Plausible(const THeader& header, size_t dataBytes) {
  const int64_t bpl = int64_t(header.BytesPerLine);
  const int64_t lineBits = header.Planes == 3 ? header.Width * 8 : header.Width * std::max(1, header.BitsPerPixel);
  if (bpl * 8 < lineBits) return false;
  const int64_t shortestLine = header.RunLength ? (bpl + 62) / 63 : bpl;
  return shortestLine * header.Planes * header.Height <= int64_t(dataBytes);
}

// The encoded lines in memory. A run that reaches past the end of its line
// ends the line there; its surplus is dropped, never written.
class TLineDecoder {
public:
  TLineDecoder(std::span<const uint8_t> data, size_t bytesPerLine, bool runLength)
      : FData(data), FLength(bytesPerLine), FRunLength(runLength) {}

  // Fills one plane line; data that ends before the line is full is a broken file.
  void Next(uint8_t* line) {
    if (FRunLength)
      DecodeRuns(line);
    else
      Copy(line);
  }

private:
  void Copy(uint8_t* line) {
    if (FData.size() - FPos < FLength) Unrecognized();
    std::memcpy(line, FData.data() + FPos, FLength);
    FPos += FLength;
  }

  void DecodeRuns(uint8_t* line) {
    size_t filled = 0;
    while (filled < FLength) {
      if (FPos >= FData.size()) Unrecognized();
      const uint8_t byte = FData[FPos++];
      if (byte < 0xC0) {
        line[filled++] = byte;
        continue;
      }
      if (FPos >= FData.size()) Unrecognized();
      const uint8_t value = FData[FPos++];
      const size_t run = std::min<size_t>(byte & 0x3F, FLength - filled);
      std::memset(line + filled, value, run);
      filled += run;
    }
  }

  std::span<const uint8_t> FData;
  size_t FLength;
  bool FRunLength;
  size_t FPos = 0;
};

void StoreRgb(uint8_t* out, const uint8_t* rgb) {
  out[0] = rgb[2];
  out[1] = rgb[1];
  out[2] = rgb[0];
}

void Convert8(const uint8_t* line, const uint8_t* palette, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) StoreRgb(out, palette + size_t(line[x]) * 3);
}

// The high nibble is the left pixel, as in the published format and every
// encoder we know; an odd width takes the last byte's high nibble.
void Convert4(const uint8_t* line, const uint8_t* palette, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    const uint8_t byte = line[x / 2];
    const int index = (x % 2 == 0) ? byte >> 4 : byte & 0x0F;
    StoreRgb(out, palette + size_t(index) * 3);
  }
}

void Convert1(const uint8_t* line, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    const uint8_t level = (line[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
    std::memset(out, level, 3);
  }
}

void ConvertPlanes(const uint8_t* red, const uint8_t* green, const uint8_t* blue, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    out[0] = blue[x];
    out[1] = green[x];
    out[2] = red[x];
  }
}

// Depths without a conversion still have their lines decoded, so that the
// data must be there, and leave the row white.
void ConvertRow(const THeader& header, const uint8_t* lines, const uint8_t* palette256, int width, uint8_t* out) {
  if (header.Planes == 3) {
    const size_t bpl = header.BytesPerLine;
    ConvertPlanes(lines, lines + bpl, lines + 2 * bpl, width, out);
  } else if (header.BitsPerPixel == 8) {
    Convert8(lines, palette256, width, out);
  } else if (header.BitsPerPixel == 4) {
    Convert4(lines, header.Palette16, width, out);
  } else if (header.BitsPerPixel == 1) {
    Convert1(lines, width, out);
  }
}

void DecodeRows(const THeader& header, std::span<const uint8_t> data, const uint8_t* palette256, TBitmap& bitmap,
                const TProgressRec& progress) {
  TLineDecoder decoder(data, header.BytesPerLine, header.RunLength);
  std::vector<uint8_t> lines(header.BytesPerLine * size_t(header.Planes));
  const int height = bitmap.Height();
  for (int y = 0; y < height; ++y) {
    if (progress.Assigned()) progress.Report(static_cast<int>(int64_t{y} * 100 / height));
    for (int plane = 0; plane < header.Planes; ++plane)
      decoder.Next(lines.data() + size_t(plane) * header.BytesPerLine);
    ConvertRow(header, lines.data(), palette256, bitmap.Width(), bitmap.ScanLine(y));
  }
}

}  // namespace

// The 256-colour palette is taken from the last 768 bytes without looking
// for its marker byte; a file too short to hold it after the header is
// broken. Every failure, the data's own included, is "unrecognized PCX".
std::unique_ptr<TBitmap> ReadPcxStream(TByteSource& stream, int& xDpi, int& yDpi, TProgressRec& progress, size_t size,
                                       const TReadLimits& limits) {
  const size_t start = stream.Position();
  if (size < HeaderBytes || !stream.Contains(start, size)) Unrecognized();
  const std::span<const uint8_t> file = stream.View(start, size);
  const THeader header = ParseHeader(file.first(HeaderBytes));
  if (header.Width <= 0 || header.Height <= 0 || !limits.PictureFits(header.Width, header.Height) ||
      !Plausible(header, size - HeaderBytes))
    Unrecognized();
  xDpi = header.XDpi;
  yDpi = header.YDpi;
  const uint8_t* palette256 = nullptr;
  if (header.Planes == 1 && header.BitsPerPixel > 4) {
    if (size < HeaderBytes + PaletteBytes) Unrecognized();
    palette256 = file.data() + size - PaletteBytes;
  }
  auto bitmap = std::make_unique<TBitmap>(int(header.Width), int(header.Height));
  DecodeRows(header, file.subspan(HeaderBytes), palette256, *bitmap, progress);
  stream.Seek(start + size);
  return bitmap;
}

std::unique_ptr<TBitmap> ReadPcx(const std::string& fileName, int& xDpi, int& yDpi, TProgressRec& progress,
                                 const TReadLimits& limits) {
  const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  TByteSource stream(bytes);
  return ReadPcxStream(stream, xDpi, yDpi, progress, bytes.size(), limits);
}
