#pragma once
// Loading and saving the attached view's image. Loading picks the reader by
// the file name's extension; an unknown extension loads nothing and raises
// nothing. Every reader's result becomes a 24-bit image. Saving writes a
// Windows bitmap: 1 bit per pixel for an image of exactly two colours (the
// darker black), 24 bits otherwise.

#include <string>

#include "framework/Component.h"
#include "imaging/Bitmap.h"
#include "imaging/Imageview.h"
#include "imaging/PictureKinds.h"
#include "imaging/ProgressRec.h"
#include "imaging/ReadLimits.h"

class TImageIO : public TComponent {
public:
  explicit TImageIO(TComponent* AOwner);

  void AttachedView(TImageView* view) { FView = view; }

  // True when the file's picture replaced the image; false when the file's
  // kind has no reader or the file holds no picture (a GIF without images),
  // which leave the previous image and raise nothing.
  bool LoadFromFile(const std::string& fileName);
  void SaveToFileBMP(const std::string& fileName);

  TProgressEvent OnProgress;
  // What every reader is held to; the program keeps the defaults.
  TReadLimits Limits;
  // What shows through the pixels of PNG and WebP pictures that are not
  // opaque: the program sets the desktop's colour, as the desktop shows it
  // where no wallpaper covers.
  TColor Matte = clBlack;

  // Resolution reported by the last JPEG, PCX or TIFF load; a PCX file that
  // states none reports the screen's.
  int XDotsPerInch() const { return FXDpi; }
  int YDotsPerInch() const { return FYDpi; }
  int XDotsPerCm() const { return FXDpcm; }
  int YDotsPerCm() const { return FYDpcm; }

private:
  void SetResolution(TResolution dpi);
  void Replace(TBitmap&& bitmap);
  void Report(int percent);

  TImageView* FView = nullptr;
  int FXDpi = 0, FYDpi = 0, FXDpcm = 0, FYDpcm = 0;
};

// True when LoadFromFile has a reader for the file name's extension.
bool HasReaderFor(const std::string& fileName);

// A 1-bit bitmap widened to 24 bits, most significant bit first: the brighter
// colour of its table white, the darker black (set bit white when the table
// does not say otherwise).
TBitmap Conv1to24(const TBitmap& bitmap);

// The two-colour reduction of a 24-bit image: a 1-bit bitmap with index 0 the
// darker colour, or an empty bitmap when the image does not have exactly two.
TBitmap ConvertTo1bit(const TBitmap& image);
