#include "imaging/Imageio.h"

#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "imaging/BmpCodec.h"
#include "imaging/Hash1.h"
#include "imaging/PictureKinds.h"
#include "imaging/PlatformPicture.h"

namespace {

// Runs a reader and gives its failures the kind's own message, as the kind's
// row says which.
template <class Read>
TPictureOutput Reading(const TPictureKind& kind, Read&& read) {
  try {
    return read();
  } catch (const EInvalidGraphic&) {
    throw EInvalidGraphic(kind.Unrecognized);
  } catch (const std::exception&) {
    if (kind.Replace == TReplace::Everything) throw EInvalidGraphic(kind.Unrecognized);
    throw;
  }
}

// Eight 3-byte pixels for every byte value, set bits white.
const std::array<std::array<uint8_t, 24>, 256>& ExpansionTable() {
  static const auto table = [] {
    std::array<std::array<uint8_t, 24>, 256> t{};
    for (int value = 0; value < 256; ++value)
      for (int bit = 0; bit < 8; ++bit) {
        const uint8_t level = (value & (0x80 >> bit)) ? 255 : 0;
        std::memset(&t[size_t(value)][size_t(bit) * 3], level, 3);
      }
    return t;
  }();
  return table;
}

}  // namespace

TImageIO::TImageIO(TComponent* AOwner) : TComponent(AOwner) {}

// Monochrome files come with either table order (many encoders write white
// first); showing the darker colour black keeps such files from turning into
// their negative, and leaves black-then-white tables as they are.
TBitmap Conv1to24(const TBitmap& bitmap) {
  TBitmap result(bitmap.Width(), bitmap.Height(), TPixelFormat::pf24bit);
  const bool invert = bitmap.Palette.size() >= 2 && Brightness(bitmap.Palette[1]) < Brightness(bitmap.Palette[0]);
  const auto& table = ExpansionTable();
  const int width = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* in = bitmap.ScanLine(y);
    uint8_t* out = result.ScanLine(y);
    for (int x = 0; x < width; x += 8) {
      const uint8_t value = invert ? uint8_t(~in[x / 8]) : in[x / 8];
      const int pixels = width - x < 8 ? width - x : 8;
      std::memcpy(out + size_t(x) * 3, table[value].data(), size_t(pixels) * 3);
    }
  }
  return result;
}

TBitmap ConvertTo1bit(const TBitmap& image) {
  const int width = image.Width();
  TBitmap bits(width, image.Height(), TPixelFormat::pf1bit);
  THash1 colours(13);
  uint32_t first = 0, second = 0;
  for (int y = 0; y < image.Height(); ++y) {
    if (colours.Count() > 2) break;
    const uint8_t* in = image.ScanLine(y);
    uint8_t* out = bits.ScanLine(y);
    std::memset(out, 0, bits.Stride());
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = in + size_t(x) * 3;
      const uint32_t key = p[0] + 256u * p[1] + 65536u * p[2];
      if ((colours.Count() == 0 || key != first) && (colours.Count() < 2 || key != second) && colours.Insert(key)) {
        (colours.Count() == 1 ? first : second) = key;
      }
      if (key != first) out[x / 8] |= uint8_t(0x80 >> (x % 8));
    }
  }
  if (colours.Count() != 2) return TBitmap();
  const auto quad = [](uint32_t key) { return TRGBQuad{uint8_t(key), uint8_t(key >> 8), uint8_t(key >> 16), 0}; };
  if (Brightness(quad(second)) < Brightness(quad(first)))
    for (size_t i = 0; i < bits.ByteSize(); ++i) bits.Bits()[i] = uint8_t(~bits.Bits()[i]);
  return bits;
}

bool HasReaderFor(const std::string& fileName) { return PictureKindOf(fileName) != nullptr; }

void TImageIO::Report(int percent) { OnProgress(FView, percent); }

void TImageIO::SetResolution(TResolution dpi) {
  FXDpi = dpi.X;
  FYDpi = dpi.Y;
  FXDpcm = static_cast<int>(std::lround(dpi.X / 2.54));
  FYDpcm = static_cast<int>(std::lround(dpi.Y / 2.54));
}

void TImageIO::Replace(TBitmap&& bitmap) {
  if (bitmap.PixelFormat() == TPixelFormat::pf1bit)
    FView->Bitmap() = Conv1to24(bitmap);
  else
    FView->Bitmap() = std::move(bitmap);
  FView->Update();
  FView->ImageChange();
}

// The file is read inside the reader's guard, so that a kind whose every
// failure gets its own message gives it for a file that cannot be opened too.
bool TImageIO::LoadFromFile(const std::string& fileName) {
  if (!FView) return false;
  if (FView->Bitmap().PixelFormat() != TPixelFormat::pf24bit) FView->Bitmap() = Conv1to24(FView->Bitmap());
  const TPictureKind* kind = PictureKindOf(fileName);
  if (!kind) return false;  // no reader: the previous image stays
  TProgressRec progress{OnProgress, FView, 0, 0.0};
  TPictureOutput read = Reading(*kind, [&] {
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    TByteSource stream(bytes);
    return kind->Read({stream, Limits, progress, FView->Background, Matte});
  });
  if (!read.Picture) return false;  // no picture in the file: the previous one stays
  if (read.ScreenResolution)
    SetResolution(ScreenResolution());
  else if (read.Resolution)
    SetResolution(*read.Resolution);
  if (read.Background) FView->Background = *read.Background;
  Replace(std::move(*read.Picture));
  return true;
}

void TImageIO::SaveToFileBMP(const std::string& fileName) {
  if (!FView) return;
  Report(0);
  TBitmap& image = FView->Bitmap();
  if (image.PixelFormat() != TPixelFormat::pf24bit) image = Conv1to24(image);
  const TBitmap twoColour = ConvertTo1bit(image);
  Report(30);
  WriteBitmapFile(fileName, twoColour.Empty() ? image : twoColour);
  Report(100);
}
