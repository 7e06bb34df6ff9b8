// Icons and metafiles drawn by the Windows renderers, on files made here.

#include "imaging/PlatformPicture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "BmpTestFiles.h"
#include "TempDir.h"
#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "imaging/Imageholder.h"

namespace {

constexpr TColor Green = 0x00FF00;

using bmptest::Put16;
using bmptest::Put32;

// A 24-bit icon image of n x n pixels, all red but the top-left pixel, which
// the mask makes transparent, and the bottom-right one, blue.
std::vector<uint8_t> IconImage(int n) {
  std::vector<uint8_t> image;
  for (uint32_t v : {40u, uint32_t(n), uint32_t(2 * n)}) Put32(image, v);
  Put16(image, 1);
  Put16(image, 24);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  const int stride = (n * 3 + 3) / 4 * 4;
  for (int row = 0; row < n; ++row) {  // bottom-up
    std::vector<uint8_t> line(size_t(stride), 0);
    for (int x = 0; x < n; ++x) {
      const bool transparent = row == n - 1 && x == 0, blue = row == 0 && x == n - 1;
      line[size_t(x) * 3] = blue ? 255 : 0;
      line[size_t(x) * 3 + 2] = transparent || blue ? 0 : 255;
    }
    image.insert(image.end(), line.begin(), line.end());
  }
  const int maskStride = (n + 31) / 32 * 4;
  for (int row = 0; row < n; ++row) {
    std::vector<uint8_t> line(size_t(maskStride), 0);
    if (row == n - 1) line[0] = 0x80;
    image.insert(image.end(), line.begin(), line.end());
  }
  return image;
}

std::vector<uint8_t> IconFile(const std::vector<int>& sizes) {
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, uint32_t(sizes.size()));
  std::vector<uint8_t> images;
  for (int n : sizes) {
    const std::vector<uint8_t> image = IconImage(n);
    file.push_back(uint8_t(n));
    file.push_back(uint8_t(n));
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, 24);
    Put32(file, uint32_t(image.size()));
    Put32(file, uint32_t(6 + 16 * sizes.size() + images.size()));
    images.insert(images.end(), image.begin(), image.end());
  }
  file.insert(file.end(), images.begin(), images.end());
  return file;
}

uint32_t Pixel(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + x * 3;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// A 48 x 24 pixel picture (at 96 dots per inch) with its left half red.
TEnhMetafile RedLeftHalf() {
  const TWindowDC screen(nullptr);
  const int mmX = GetDeviceCaps(screen.Get(), HORZSIZE), mmY = GetDeviceCaps(screen.Get(), VERTSIZE);
  const int pxX = GetDeviceCaps(screen.Get(), HORZRES), pxY = GetDeviceCaps(screen.Get(), VERTRES);
  const RECT frame{0, 0, 1270, 635};  // hundredths of a millimetre
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  // the frame in the reference device's pixels
  const int w = MulDiv(1270, pxX, mmX * 100), h = MulDiv(635, pxY, mmY * 100);
  const RECT left{0, 0, w / 2, h};
  const TGdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
  FillRect(dc, &left, red.Get());
  return TEnhMetafile(CloseEnhMetaFile(dc));
}

class PlatformPicture : public ::testing::Test {
protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    FDir.Write(name, std::string(bytes.begin(), bytes.end()));
    return FDir.Join(name);
  }

  TTempDir FDir;
};

}  // namespace

TEST_F(PlatformPicture, IconDrawnAtItsSizeOnTheBackground) {
  TImageHolder holder(nullptr);
  holder.Background = Green;
  ASSERT_TRUE(holder.LoadFromFile(Write("Ïcon.ico", IconFile({4}))));
  const TBitmap& image = holder.Bitmap();
  ASSERT_EQ(image.Width(), 4);
  ASSERT_EQ(image.Height(), 4);
  EXPECT_EQ(Pixel(image, 0, 0), Green);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(image, 3, 3), 0x0000FFu);
}

TEST_F(PlatformPicture, IconOfTheStandardSizePicked) {
  const std::vector<uint8_t> file = IconFile({16, 32, 48});
  TByteSource bytes(file);
  const auto image = RenderIcon(bytes, Green);
  EXPECT_EQ(image->Width(), GetSystemMetrics(SM_CXICON));
}

TEST_F(PlatformPicture, EnhancedMetafileOnePixelSmallerThanItsFrame) {
  const TEnhMetafile emf = RedLeftHalf();
  std::vector<uint8_t> bytes(GetEnhMetaFileBits(emf.Get(), 0, nullptr));
  GetEnhMetaFileBits(emf.Get(), UINT(bytes.size()), bytes.data());
  TByteSource file(bytes);
  const auto image = RenderMetafile(file, Green);
  ASSERT_EQ(image->Width(), 47);
  ASSERT_EQ(image->Height(), 23);
  EXPECT_EQ(Pixel(*image, 3, 3), 0xFF0000u);
  EXPECT_EQ(Pixel(*image, 40, 20), Green);
}

TEST_F(PlatformPicture, PlaceableWindowsMetafile) {
  const TEnhMetafile emf = RedLeftHalf();
  const TWindowDC screen(nullptr);
  std::vector<uint8_t> records(GetWinMetaFileBits(emf.Get(), 0, nullptr, MM_ANISOTROPIC, screen.Get()));
  GetWinMetaFileBits(emf.Get(), UINT(records.size()), records.data(), MM_ANISOTROPIC, screen.Get());
  std::vector<uint8_t> file;
  Put32(file, 0x9AC6CDD7);
  for (uint32_t v : {0u, 0u, 0u, 48u, 24u, 96u}) Put16(file, v);  // handle, box, units per inch
  Put32(file, 0);
  uint16_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) sum ^= uint16_t(file[i] | file[i + 1] << 8);
  Put16(file, sum);
  file.insert(file.end(), records.begin(), records.end());
  TByteSource bytes(file);
  const auto image = RenderMetafile(bytes, Green);
  ASSERT_EQ(image->Width(), 47);
  ASSERT_EQ(image->Height(), 23);
  EXPECT_EQ(Pixel(*image, 3, 3), 0xFF0000u);
  EXPECT_EQ(Pixel(*image, 40, 20), Green);
}

TEST_F(PlatformPicture, HostileFilesGiveTheHolderMessages) {
  TImageHolder holder(nullptr);
  std::vector<uint8_t> icon = IconFile({4});
  icon[18] = 0xF0;  // the image offset far past the end
  for (const auto& bytes : {icon, std::vector<uint8_t>{0, 0, 1, 0}, std::vector<uint8_t>(100, 0x41)}) {
    try {
      holder.LoadFromFile(Write("bad.ico", bytes));
      ADD_FAILURE() << "icon accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "unrecognized ICO");
    }
  }
  std::vector<uint8_t> box(22, 0);
  box[0] = 0xD7, box[1] = 0xCD, box[2] = 0xC6, box[3] = 0x9A;  // a placeable header with no size
  for (const auto& bytes : {box, std::vector<uint8_t>(100, 0x41)}) {
    for (const char* name : {"bad.wmf", "bad.emf"}) {
      try {
        holder.LoadFromFile(Write(name, bytes));
        ADD_FAILURE() << "metafile accepted";
      } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "unrecognized WMF or EMF");
      }
    }
  }
}
