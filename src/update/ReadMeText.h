#pragma once
// The plain read-me's bytes as the text Kaleidon's own window shows.
// Accepts any bytes. Valid UTF-8 (shortest forms only, no surrogates,
// nothing above U+10FFFF), with or without a byte-order mark, is read as
// UTF-8 and the mark dropped; anything else is read as Windows-1252, the
// code page the program's version block declares, its five unassigned bytes
// standing for the control characters of the same number, as Windows maps
// them.
// Limits: none of its own; the caller bounds the bytes, and the text is at
// most three times as long.
// Rejects nothing.

#include <string>
#include <string_view>

// The text in UTF-8.
std::string ReadMeText(std::string_view bytes);
