#pragma once
// The kinds of picture file the program reads, one row per file-name
// extension: the reader that loads it, whether the catalogue searches for it
// and the holder's error for a file of it that cannot be read. The holder's
// load dispatch, the question whether a file can be read, and the catalogue's
// search all go by this one table. Every reader takes the file's bytes and
// gives its picture through one signature, so loading a file is one lookup.

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"
#include "imaging/ReadLimits.h"

enum class TPictureFormat { Jpeg, Gif, Bmp, Pcx, Tiff, Png, WebP, Metafile, Icon };

struct TResolution {
  int X = 0, Y = 0;  // dots per inch
};

// What a reader is handed: the whole file, the limits it works within, the
// progress record, the colour that icons and metafiles are drawn on, and the
// one that pixels of PNG and WebP pictures that are not opaque are
// composited over.
struct TPictureInput {
  TByteSource& Bytes;
  const TReadLimits& Limits;
  TProgressRec& Progress;
  TColor Background;
  TColor Matte;
};

// What a reader gives back.
struct TPictureOutput {
  std::unique_ptr<TBitmap> Picture;       // nullptr: the file holds none (a GIF without images)
  std::optional<TResolution> Resolution;  // only from the kinds whose files state one
  bool ScreenResolution = false;          // the file states none and the screen's applies
  std::optional<TColor> Background;       // the colour the picture asks to be shown on
};

using TPictureReader = TPictureOutput (*)(const TPictureInput& input);

// Which of a reader's failures the holder gives the kind's own message: its
// EInvalidGraphic only (the others, a file that cannot be opened among them,
// pass through), or every one.
enum class TReplace { InvalidGraphicOnly, Everything };

struct TPictureKind {
  const char* Extension;  // lower case, dot included
  TPictureFormat Format;
  TPictureReader Read;
  TReplace Replace;
  bool Catalogued;           // the catalogue searches for this extension
  const char* Unrecognized;  // the holder's error for a file of this kind it cannot read
};

// Every kind; the catalogued ones first, in the order the catalogue searches them.
std::span<const TPictureKind> PictureKinds();

// The kind of a file by the extension of its name, ASCII case ignored; nullptr
// when no reader takes it.
const TPictureKind* PictureKindOf(const std::string& fileName);

// The error for a file that gave no picture: its kind's, or, for a name no
// reader takes, "Unknown picture file extension (.xyz)".
std::string NoPictureMessage(const std::string& fileName);
