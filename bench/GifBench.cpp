// GIF decoding speed against giflib in the same run: ReadGifStream (LZW to a
// 24-bit bitmap) and giflib's DGifGetLine with the same colour mapping into
// a bitmap of the same layout, on the same bytes in memory.
//
//   GifBench [FILE.gif ...]
// Without files, pictures are made with ImageMagick (/usr/bin/convert).

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchTiming.h"

#include "imaging/Giffilter.h"

#if __has_include(<gif_lib.h>)
#include <gif_lib.h>
#define KALEIDON_HAVE_GIFLIB 1
#endif

namespace {

int64_t Ours(const TBytes& file) {
  TByteSource stream(file);
  TProgressRec progress;
  int count = 0;
  TGlobGifInfo global;
  TGifInfo info;
  const auto bitmap = ReadGifStream(stream, 0, count, progress, global, info, TReadLimits{});
  return bitmap ? int64_t(bitmap->Width()) * bitmap->Height() : 0;
}

#ifdef KALEIDON_HAVE_GIFLIB
struct TMemory {
  const TBytes* Bytes;
  size_t Pos;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* memory = static_cast<TMemory*>(gif->UserData);
  const size_t n = std::min(size_t(count), memory->Bytes->size() - memory->Pos);
  std::memcpy(out, memory->Bytes->data() + memory->Pos, n);
  memory->Pos += n;
  return int(n);
}

// The first image, rows placed in interlace order and mapped through the
// colour table into blue, green, red rows padded to 4 bytes, as ours are.
int64_t Giflib(const TBytes& file) {
  TMemory memory{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&memory, ReadMemory, &error);
  if (!gif) return 0;
  int64_t pixels = 0;
  GifRecordType type;
  while (pixels == 0 && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      DGifGetExtension(gif, &code, &block);
      while (block) DGifGetExtensionNext(gif, &block);
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK) break;
    const int width = gif->Image.Width, height = gif->Image.Height;
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    uint8_t table[256][3] = {};
    for (int i = 0; map && i < map->ColorCount && i < 256; ++i)
      table[i][0] = map->Colors[i].Blue, table[i][1] = map->Colors[i].Green, table[i][2] = map->Colors[i].Red;
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> bitmap(stride * size_t(height), 0xFF);
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    std::vector<int> rows;
    static const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (gif->Image.Interlace ? 4 : 1); ++pass)
      for (int y = gif->Image.Interlace ? starts[pass] : 0; y < height; y += gif->Image.Interlace ? steps[pass] : 1)
        rows.push_back(y);
    for (int y : rows) {
      if (DGifGetLine(gif, line.data(), width) != GIF_OK) break;
      uint8_t* out = bitmap.data() + stride * size_t(y);
      for (int x = 0; x < width; ++x, out += 3) std::memcpy(out, table[line[size_t(x)]], 3);
    }
    pixels = int64_t(width) * height;
  }
  DGifCloseFile(gif, &error);
  return pixels;
}
#endif

std::vector<std::string> MakeFiles(const std::filesystem::path& dir) {
  return MakeSamples(dir,
                     {
                         {"plasma-256.gif", "-size 1600x1200 plasma:fractal -colors 256 "},
                         {"plasma-256-interlaced.gif", "-size 1600x1200 plasma:fractal -colors 256 -interlace GIF "},
                         {"gradient-16.gif", "-size 1600x1200 gradient:red-blue -colors 16 "},
                         {"noise-2.gif", "-size 1600x1200 xc: +noise Random -monochrome "},
                     });
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  const auto dir = std::filesystem::temp_directory_path() / "kaleidon-gifbench";
  if (files.empty()) {
    std::filesystem::create_directories(dir);
    files = MakeFiles(dir);
  }
  if (files.empty()) {
    std::printf("no GIF files: pass some, or install ImageMagick\n");
    return 0;
  }
  for (const std::string& path : files) {
    const TBytes file = Load(path);
    const int64_t pixels = Ours(file);
    const double ours = Time([&] { Ours(file); });
    std::printf("%-28s %7.1f Mpixel/s", std::filesystem::path(path).filename().string().c_str(), pixels / ours / 1e6);
#ifdef KALEIDON_HAVE_GIFLIB
    const double theirs = Time([&] { Giflib(file); });
    std::printf("   giflib DGifGetLine %7.1f Mpixel/s   ratio %.2f", pixels / theirs / 1e6, theirs / ours);
#else
    std::printf("   (giflib not found: no peer)");
#endif
    std::printf("\n");
  }
  std::filesystem::remove_all(dir);
  return 0;
}
