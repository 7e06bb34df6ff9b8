#include "imaging/PictureKinds.h"

#include "framework/Exceptions.h"
#include "framework/SysUtils.h"
#include "imaging/BmpCodec.h"
#include "imaging/Giffilter.h"
#include "imaging/Jpegfilt.h"
#include "imaging/Pcxfilter.h"
#include "imaging/PlatformPicture.h"
#include "imaging/Pngfilter.h"
#include "imaging/Tiffilt.h"
#include "imaging/Webpfilter.h"

namespace {

TPictureOutput ReadJpeg(const TPictureInput& in) {
  TPictureOutput out;
  TResolution dpi;
  out.Picture = ReadJPegStream(in.Bytes, dpi.X, dpi.Y, in.Progress, in.Limits);
  out.Resolution = dpi;
  return out;
}

// A file without a first page is as unreadable as a broken one.
TPictureOutput ReadTiff(const TPictureInput& in) {
  TPictureOutput out;
  TResolution dpi;
  int pages = 0;
  out.Picture = TIFFReadStream(in.Bytes, 0, pages, in.Progress, dpi.X, dpi.Y, in.Limits);
  if (!out.Picture) throw EInvalidGraphic("no such page");
  out.Resolution = dpi;
  return out;
}

TPictureOutput ReadPcx(const TPictureInput& in) {
  TPictureOutput out;
  TResolution dpi;
  out.Picture = ReadPcxStream(in.Bytes, dpi.X, dpi.Y, in.Progress, in.Bytes.Remaining(), in.Limits);
  out.Resolution = dpi;
  out.ScreenResolution = dpi.X == 0 || dpi.Y == 0;
  return out;
}

// The first image, shown on its transparent colour, or else on the global
// table's background entry.
TPictureOutput ReadGif(const TPictureInput& in) {
  TPictureOutput out;
  int count = 0;
  TGlobGifInfo global;
  TGifInfo info;
  out.Picture = ReadGifStream(in.Bytes, 0, count, in.Progress, global, info, in.Limits);
  if (!out.Picture) return out;
  if (info.Transparent)
    out.Background = ColorOf(info.TransparentColor);
  else if (global.HasBackground)
    out.Background = ColorOf(global.BackgroundColor);
  return out;
}

TPictureOutput ReadBmp(const TPictureInput& in) {
  TPictureOutput out;
  in.Progress.Report(0);
  out.Picture = ReadBitmapStream(in.Bytes, in.Limits);
  in.Progress.Report(80);
  in.Progress.Report(100);
  return out;
}

TPictureOutput ReadPng(const TPictureInput& in) {
  TPictureOutput out;
  out.Picture = ReadPngStream(in.Bytes, in.Matte, in.Progress, in.Limits);
  return out;
}

TPictureOutput ReadWebP(const TPictureInput& in) {
  TPictureOutput out;
  out.Picture = ReadWebPStream(in.Bytes, in.Matte, in.Progress, in.Limits);
  return out;
}

TPictureOutput ReadMetafile(const TPictureInput& in) {
  TPictureOutput out;
  out.Picture = RenderMetafile(in.Bytes, in.Background);
  return out;
}

TPictureOutput ReadIcon(const TPictureInput& in) {
  TPictureOutput out;
  out.Picture = RenderIcon(in.Bytes, in.Background);
  return out;
}

using enum TPictureFormat;
using enum TReplace;

// ".tiff" files load but are not catalogued: the catalogue's TIFF search is
// for ".tif" only. Icons and metafiles load, for any caller that asks, but
// are never catalogued.
constexpr TPictureKind Kinds[] = {
    {".jpg", Jpeg, ReadJpeg, InvalidGraphicOnly, true, "unrecognized JPEG"},
    {".jpeg", Jpeg, ReadJpeg, InvalidGraphicOnly, true, "unrecognized JPEG"},
    {".jpe", Jpeg, ReadJpeg, InvalidGraphicOnly, true, "unrecognized JPEG"},
    {".gif", Gif, ReadGif, Everything, true, "unrecognized GIF"},
    {".bmp", Bmp, ReadBmp, InvalidGraphicOnly, true, "unrecognized BMP"},
    {".pcx", Pcx, ReadPcx, Everything, true, "unrecognized PCX"},
    {".tif", Tiff, ReadTiff, InvalidGraphicOnly, true, "unrecognized TIFF"},
    {".png", Png, ReadPng, InvalidGraphicOnly, true, "unrecognized PNG"},
    {".webp", WebP, ReadWebP, InvalidGraphicOnly, true, "unrecognized WebP"},
    {".tiff", Tiff, ReadTiff, InvalidGraphicOnly, false, "unrecognized TIFF"},
    {".wmf", Metafile, ReadMetafile, Everything, false, "unrecognized WMF or EMF"},
    {".emf", Metafile, ReadMetafile, Everything, false, "unrecognized WMF or EMF"},
    {".ico", Icon, ReadIcon, Everything, false, "unrecognized ICO"},
};

}  // namespace

std::span<const TPictureKind> PictureKinds() { return Kinds; }

const TPictureKind* PictureKindOf(const std::string& fileName) {
  const std::string ext = LowerCaseAscii(ExtractFileExt(fileName));
  for (const TPictureKind& kind : Kinds)
    if (ext == kind.Extension) return &kind;
  return nullptr;
}

std::string NoPictureMessage(const std::string& fileName) {
  if (const TPictureKind* kind = PictureKindOf(fileName)) return kind->Unrecognized;
  return "Unknown picture file extension (" + LowerCaseAscii(ExtractFileExt(fileName)) + ")";
}
