#include "imaging/PlatformPicture.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "imaging/ByteSource.h"

namespace {

[[noreturn]] void Invalid(const char* what) { throw EInvalidGraphic(what); }

// A 24-bit top-down DIB section cleared to the background, with a memory DC
// to draw on; its rows have the layout of TBitmap's.
class TCanvas {
public:
  TCanvas(int width, int height, TColor background) : FImage(width, height) {
    if (FImage.Empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    FDC.Reset(CreateCompatibleDC(nullptr));
    FSection.Reset(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &FBits, nullptr, 0));
    if (!FDC || !FSection) Invalid("no drawing surface");
    FSelection.emplace(FDC.Get(), FSection.Get());
    const RECT all{0, 0, width, height};
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(background));
    FillRect(FDC.Get(), &all, brush.Get());
  }

  HDC DC() const { return FDC.Get(); }

  std::unique_ptr<TBitmap> Take() {
    if (FBits) {
      GdiFlush();
      std::memcpy(FImage.Bits(), FBits, FImage.ByteSize());
    }
    return std::make_unique<TBitmap>(std::move(FImage));
  }

private:
  TBitmap FImage;
  TMemoryDC FDC;
  TGdiObject<HBITMAP> FSection;
  std::optional<TSelection> FSelection;  // declared last: deselected before the section goes
  void* FBits = nullptr;
};

// --- icons -----------------------------------------------------------------

struct TIconEntry {
  int Width, Height;
  uint16_t BitCount;
  std::span<const uint8_t> Image;
};

// The file's icon directory, every entry's image checked to lie in the file.
std::vector<TIconEntry> ReadIconDirectory(TByteSource& file) {
  if (file.ReadU16LE() != 0 || file.ReadU16LE() != 1) Invalid("not an icon file");
  const uint16_t count = file.ReadU16LE();
  if (count == 0 || !file.Contains(file.Position(), uint64_t(count) * 16)) Invalid("icon directory cut short");
  std::vector<TIconEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t width = file.ReadByte(), height = file.ReadByte();
    file.Skip(4);  // colour count, reserved, planes
    const uint16_t bitCount = file.ReadU16LE();
    const uint32_t size = file.ReadU32LE(), offset = file.ReadU32LE();
    entries.push_back({width ? width : 256, height ? height : 256, bitCount, file.View(offset, size)});
  }
  return entries;
}

// The entry the platform picks for its standard icon size and the screen's
// colours, asked through a directory in resource form (entry ids 1, 2, ...).
const TIconEntry& PickIcon(const std::vector<TIconEntry>& entries) {
  std::vector<uint8_t> directory{0, 0, 1, 0, uint8_t(entries.size()), uint8_t(entries.size() >> 8)};
  for (size_t i = 0; i < entries.size(); ++i) {
    const TIconEntry& e = entries[i];
    const uint32_t size = uint32_t(e.Image.size());
    const uint8_t entry[14] = {uint8_t(e.Width),
                               uint8_t(e.Height),
                               0,
                               0,
                               1,
                               0,
                               uint8_t(e.BitCount),
                               uint8_t(e.BitCount >> 8),
                               uint8_t(size),
                               uint8_t(size >> 8),
                               uint8_t(size >> 16),
                               uint8_t(size >> 24),
                               uint8_t(i + 1),
                               uint8_t((i + 1) >> 8)};
    directory.insert(directory.end(), entry, entry + sizeof entry);
  }
  const int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, 0, 0, LR_DEFAULTCOLOR);
  return id >= 1 && size_t(id) <= entries.size() ? entries[size_t(id) - 1] : entries[0];
}

// --- metafiles -------------------------------------------------------------

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr int HimetricPerInch = 2540;

struct TMetafile {
  TEnhMetafile Handle;
  int Width = 0, Height = 0;  // pixels on the screen
};

// No screen DC (a service session): the system's default.
int ScreenDpi(int index) {
  const TWindowDC screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), index) : 0;
  return dpi > 0 ? dpi : 96;
}

// An enhanced metafile sized by its frame (hundredths of a millimetre).
void OpenEnhanced(std::span<const uint8_t> bytes, TMetafile& meta) {
  meta.Handle.Reset(SetEnhMetaFileBits(UINT(bytes.size()), bytes.data()));
  if (!meta.Handle) Invalid("not an enhanced metafile");
  ENHMETAHEADER header{};
  if (!GetEnhMetaFileHeader(meta.Handle.Get(), sizeof header, &header)) Invalid("no metafile header");
  meta.Width = MulDiv(header.rclFrame.right - header.rclFrame.left, ScreenDpi(LOGPIXELSX), HimetricPerInch);
  meta.Height = MulDiv(header.rclFrame.bottom - header.rclFrame.top, ScreenDpi(LOGPIXELSY), HimetricPerInch);
}

// A Windows metafile needs the placeable header in front: only that says how
// large the picture is. Its box, in units of `inch` per inch, gives the size.
void OpenPlaceable(std::span<const uint8_t> bytes, TMetafile& meta) {
  TByteSource file(bytes);
  if (file.ReadU32LE() != PlaceableKey) Invalid("not a placeable metafile");
  file.Skip(2);  // handle
  const int left = int16_t(file.ReadU16LE()), top = int16_t(file.ReadU16LE());
  const int right = int16_t(file.ReadU16LE()), bottom = int16_t(file.ReadU16LE());
  const int inch = file.ReadU16LE();
  file.Skip(6);  // reserved, checksum
  if (inch == 0 || right <= left || bottom <= top) Invalid("metafile without a size");
  const int xExt = MulDiv(right - left, HimetricPerInch, inch), yExt = MulDiv(bottom - top, HimetricPerInch, inch);
  const std::span<const uint8_t> records = file.View(file.Position(), file.Remaining());
  const METAFILEPICT picture{MM_ANISOTROPIC, xExt, yExt, nullptr};
  meta.Handle.Reset(SetWinMetaFileBits(UINT(records.size()), records.data(), TWindowDC(nullptr).Get(), &picture));
  if (!meta.Handle) Invalid("not a Windows metafile");
  meta.Width = MulDiv(xExt, ScreenDpi(LOGPIXELSX), HimetricPerInch);
  meta.Height = MulDiv(yExt, ScreenDpi(LOGPIXELSY), HimetricPerInch);
}

bool IsEnhanced(std::span<const uint8_t> bytes) {
  if (bytes.size() < sizeof(ENHMETAHEADER)) return false;
  TByteSource file(bytes);
  if (file.ReadU32LE() != EMR_HEADER) return false;
  file.Seek(40);
  return file.ReadU32LE() == ENHMETA_SIGNATURE;
}

}  // namespace

std::unique_ptr<TBitmap> RenderIcon(TByteSource& file, TColor background) {
  const std::vector<TIconEntry> entries = ReadIconDirectory(file);
  const TIconEntry& entry = PickIcon(entries);
  const TIconHandle icon(CreateIconFromResourceEx(const_cast<uint8_t*>(entry.Image.data()), DWORD(entry.Image.size()),
                                                  TRUE, 0x00030000, entry.Width, entry.Height, LR_DEFAULTCOLOR));
  if (!icon) Invalid("icon image not valid");
  TCanvas canvas(entry.Width, entry.Height, background);
  DrawIconEx(canvas.DC(), 0, 0, icon.Get(), entry.Width, entry.Height, 0, nullptr, DI_NORMAL);
  return canvas.Take();
}

// The canvas is one pixel narrower and lower than the picture, which is
// drawn at its full size, so its last column and row fall outside.
std::unique_ptr<TBitmap> RenderMetafile(TByteSource& file, TColor background) {
  const std::span<const uint8_t> bytes = file.View(file.Position(), file.Remaining());
  TMetafile meta;
  if (IsEnhanced(bytes))
    OpenEnhanced(bytes, meta);
  else
    OpenPlaceable(bytes, meta);
  if (meta.Width < 1 || meta.Height < 1) Invalid("metafile without a size");
  TCanvas canvas(meta.Width - 1, meta.Height - 1, background);
  if (canvas.DC()) {
    const RECT frame{0, 0, meta.Width, meta.Height};
    PlayEnhMetaFile(canvas.DC(), meta.Handle.Get(), &frame);
  }
  return canvas.Take();
}

TResolution ScreenResolution() { return {ScreenDpi(LOGPIXELSX), ScreenDpi(LOGPIXELSY)}; }
