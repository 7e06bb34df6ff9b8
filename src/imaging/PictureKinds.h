#pragma once
// The kinds of picture file the program reads, one row per file-name
// extension: the reader that loads it, the catalogue setting that enables it
// and whether the catalogue searches for it. The holder's load dispatch, the
// question whether a file can be read, and the catalogue's search all go by
// this one table.

#include <span>
#include <string>

enum class TReader { Jpeg, Tiff, Pcx, Gif, Metafile, Bmp, Icon };

struct TPictureKind {
  const char* Extension;  // lower case, dot included
  TReader Reader;
  const char* Setting;  // the setting (section "Settings", default true) enabling it, or nullptr
  bool Catalogued;      // the catalogue searches for this extension
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
