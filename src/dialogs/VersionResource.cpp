#include "dialogs/VersionResource.h"

#include <algorithm>

#include "framework/SysUtils.h"

namespace {

using TBytes = std::span<const uint8_t>;

// One block of the blob, as byte offsets into it.
struct TBlock {
  size_t KeyStart = 0;
  size_t KeyEnd = 0;  // the key's terminating zero
  uint16_t Type = 0;
  uint16_t ValueLength = 0;
  size_t ValueStart = 0;
  size_t ChildrenStart = 0;
  size_t End = 0;
};

uint16_t U16(TBytes data, size_t at) { return uint16_t(data[at] | data[at + 1] << 8); }

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// The block at `start`, which must end by `limit` (limit <= data size);
// false when it is malformed.
bool ReadBlock(TBytes data, size_t start, size_t limit, TBlock& block) {
  if (start > limit || limit - start < 6) return false;
  const size_t length = U16(data, start);
  if (length < 6 || length > limit - start) return false;
  block.End = start + length;
  block.ValueLength = U16(data, start + 2);
  block.Type = U16(data, start + 4);
  block.KeyStart = start + 6;
  size_t at = block.KeyStart;
  for (;; at += 2) {
    if (block.End - at < 2) return false;
    if (U16(data, at) == 0) break;
  }
  block.KeyEnd = at;
  block.ValueStart = std::min(Align4(at + 2), block.End);
  // Text value lengths count characters; some tools write bytes, so text is
  // only held to its block.
  size_t valueBytes = block.Type == 1 ? size_t{block.ValueLength} * 2 : block.ValueLength;
  if (valueBytes > block.End - block.ValueStart) {
    if (block.Type != 1) return false;
    valueBytes = block.End - block.ValueStart;
  }
  block.ChildrenStart = std::min(Align4(block.ValueStart + valueBytes), block.End);
  return true;
}

char AsciiLower(uint16_t c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); }

bool KeyIs(TBytes data, const TBlock& block, std::string_view key) {
  if ((block.KeyEnd - block.KeyStart) / 2 != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    const uint16_t c = U16(data, block.KeyStart + 2 * i);
    if (c > 0x7F || AsciiLower(c) != AsciiLower(uint8_t(key[i]))) return false;
  }
  return true;
}

bool FindChild(TBytes data, const TBlock& parent, std::string_view key, TBlock& child) {
  for (size_t at = parent.ChildrenStart; at < parent.End; at = Align4(child.End)) {
    if (!ReadBlock(data, at, parent.End, child)) return false;
    if (KeyIs(data, child, key)) return true;
  }
  return false;
}

// UTF-16LE text from `at` to the first zero character or `end`.
std::string TextAt(TBytes data, size_t at, size_t end) {
  std::string out;
  while (end - at >= 2) {
    const uint16_t c = U16(data, at);
    at += 2;
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && end - at >= 2) {
      const uint16_t low = U16(data, at);
      if (low >= 0xDC00 && low < 0xE000) {
        at += 2;
        AppendUtf8(out, 0x10000 + ((uint32_t(c) - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    AppendUtf8(out, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
  }
  return out;
}

}  // namespace

std::string FindVersionString(TBytes data, std::string_view table, std::string_view key) {
  TBlock root, stringFileInfo, stringTable, entry;
  if (!ReadBlock(data, 0, data.size(), root)) return {};
  if (!FindChild(data, root, "StringFileInfo", stringFileInfo)) return {};
  if (!FindChild(data, stringFileInfo, table, stringTable)) return {};
  if (!FindChild(data, stringTable, key, entry)) return {};
  return TextAt(data, entry.ValueStart, entry.End);
}
