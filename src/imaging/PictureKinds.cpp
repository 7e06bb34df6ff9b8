#include "imaging/PictureKinds.h"

#include "framework/SysUtils.h"

namespace {

// ".tiff" files load but are not catalogued: the catalogue's TIFF search is
// for ".tif" only. Icons and metafiles load, for any caller that asks, but
// are never catalogued.
constexpr TPictureKind Kinds[] = {
    {".jpg", TReader::Jpeg, "JPEG", true, "unrecognized JPEG"},
    {".jpeg", TReader::Jpeg, "JPEG", true, "unrecognized JPEG"},
    {".jpe", TReader::Jpeg, "JPEG", true, "unrecognized JPEG"},
    {".gif", TReader::Gif, "GIF", true, "unrecognized GIF"},
    {".bmp", TReader::Bmp, "BMP", true, "unrecognized BMP"},
    {".pcx", TReader::Pcx, "PCX", true, "unrecognized PCX"},
    {".tif", TReader::Tiff, "TIFF", true, "unrecognized TIFF"},
    {".tiff", TReader::Tiff, "TIFF", false, "unrecognized TIFF"},
    {".wmf", TReader::Metafile, nullptr, false, "unrecognized WMF or EMF"},
    {".emf", TReader::Metafile, nullptr, false, "unrecognized WMF or EMF"},
    {".ico", TReader::Icon, nullptr, false, "unrecognized ICO"},
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
