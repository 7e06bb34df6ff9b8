#pragma once
// Version information blobs: the VS_VERSIONINFO structure that a version
// resource holds and GetFileVersionInfo returns.
// Accepts: nested blocks, each a 16-bit length (the block with its children),
// a 16-bit value length (characters for text, type 1; bytes for binary, type
// 0), a 16-bit type, a zero-terminated UTF-16LE key, padding to a 4-byte
// boundary of the blob, the value, padding, then the children, each starting
// on a 4-byte boundary. A string's text runs from its value to its first zero
// character or the end of its block, whatever its value length says, as the
// system's lookup hands it out; keys match ignoring ASCII case, as there.
// Limits: nothing is read outside the data given or outside the root block
// (at most 65535 bytes by its 16-bit length); only the blocks on the path to
// the string asked for are visited, each list of children once, in order.
// Nothing is allocated but the text returned.
// Rejects, giving no string: data shorter than a block header, a block
// shorter than its 6-byte header or running past its parent or the data, a
// key without its terminating zero inside its block, a binary value running
// past its block.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The text under \StringFileInfo\<table>\<key>, as UTF-8 (unpaired UTF-16
// surrogates become U+FFFD); empty when the blob has no such entry.
std::string FindVersionString(std::span<const uint8_t> data, std::string_view table, std::string_view key);
