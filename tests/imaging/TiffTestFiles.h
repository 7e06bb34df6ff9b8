#pragma once
// Small TIFF files built in memory for the reader's tests: pages of tags and
// strips, in either byte order. Each page's strips are stored in order (the
// first page's from offset 8 on); StripOffsets and StripByteCounts point at
// them unless the page sets those tags itself. Also a plain TIFF LZW encoder.

#include <cstdint>
#include <map>
#include <vector>

namespace tifftest {

enum : uint16_t { Byte = 1, Short = 3, Long = 4, Rational = 5 };

struct TPage {
  std::map<uint16_t, std::pair<uint16_t, std::vector<uint32_t>>> Tags;
  std::vector<std::vector<uint8_t>> Strips;

  TPage& Set(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
    Tags[tag] = {type, std::move(values)};
    return *this;
  }
  TPage& Set(uint16_t tag, uint32_t value) { return Set(tag, value > 0xFFFF ? Long : Short, {value}); }
};

struct TFile {
  std::vector<uint8_t> Bytes;
  std::vector<uint32_t> Directories;  // offset of each page's directory
  bool BigEndian = false;

  void Put16(size_t at, uint32_t v) {
    Bytes[at + (BigEndian ? 0 : 1)] = uint8_t(v >> 8);
    Bytes[at + (BigEndian ? 1 : 0)] = uint8_t(v);
  }
  void Put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) Bytes[at + size_t(BigEndian ? 3 - i : i)] = uint8_t(v >> (8 * i));
  }
  // Where the entry of a tag in page p's directory starts.
  size_t Entry(size_t p, uint16_t tag) const {
    for (size_t at = Directories[p] + 2; at + 12 <= NextField(p); at += 12)
      if ((BigEndian ? Bytes[at] << 8 | Bytes[at + 1] : Bytes[at + 1] << 8 | Bytes[at]) == tag) return at;
    return 0;
  }
  // Where the directory of page p keeps the offset of the next one.
  size_t NextField(size_t p) const {
    const size_t at = Directories[p];
    const size_t count = BigEndian ? size_t(Bytes[at]) << 8 | Bytes[at + 1] : size_t(Bytes[at + 1]) << 8 | Bytes[at];
    return at + 2 + 12 * count;
  }
};

inline TFile Build(std::vector<TPage> pages, bool bigEndian = false) {
  TFile file;
  file.BigEndian = bigEndian;
  auto& out = file.Bytes;
  out.assign(8, 0);
  out[0] = out[1] = bigEndian ? 'M' : 'I';
  file.Put16(2, 42);
  const auto append16 = [&](uint32_t v) {
    out.resize(out.size() + 2);
    file.Put16(out.size() - 2, v);
  };
  const auto append32 = [&](uint32_t v) {
    out.resize(out.size() + 4);
    file.Put32(out.size() - 4, v);
  };
  size_t previousNext = 4;
  for (TPage& page : pages) {
    std::vector<uint32_t> offsets, counts;
    for (const auto& strip : page.Strips) {
      offsets.push_back(uint32_t(out.size()));
      counts.push_back(uint32_t(strip.size()));
      out.insert(out.end(), strip.begin(), strip.end());
    }
    if (!page.Strips.empty() && !page.Tags.count(273)) page.Set(273, Long, offsets);
    if (!page.Strips.empty() && !page.Tags.count(279)) page.Set(279, Long, counts);
    std::map<uint16_t, uint32_t> arrays;  // tag -> offset of values kept outside the entry
    for (auto& [tag, field] : page.Tags) {
      const auto& [type, values] = field;
      const size_t size = type == Short ? 2 : type == Byte ? 1 : 4;
      if (type != Rational && values.size() * size <= 4) continue;
      if (out.size() % 2) out.push_back(0);
      arrays[tag] = uint32_t(out.size());
      for (uint32_t v : values) {
        if (type == Short)
          append16(v);
        else if (type == Byte)
          out.push_back(uint8_t(v));
        else
          append32(v);
      }
    }
    if (out.size() % 2) out.push_back(0);
    file.Put32(previousNext, uint32_t(out.size()));
    file.Directories.push_back(uint32_t(out.size()));
    append16(uint32_t(page.Tags.size()));
    for (auto& [tag, field] : page.Tags) {
      const auto& [type, values] = field;
      append16(tag);
      append16(type);
      append32(uint32_t(type == Rational ? values.size() / 2 : values.size()));
      const size_t at = out.size();
      append32(0);
      if (arrays.count(tag)) {
        file.Put32(at, arrays[tag]);
      } else if (type == Short) {
        for (size_t i = 0; i < values.size(); ++i) file.Put16(at + 2 * i, values[i]);
      } else if (type == Byte) {
        for (size_t i = 0; i < values.size(); ++i) out[at + i] = uint8_t(values[i]);
      } else {
        file.Put32(at, values[0]);
      }
    }
    previousNext = out.size();
    append32(0);
  }
  return file;
}

// TIFF LZW: clear code first, codes widening one code early, a clear code
// before the table would pass 4094 entries, end-of-information last.
inline std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  uint64_t acc = 0;
  int bits = 0, width = 9, next = 258;
  const auto put = [&](int code) {
    acc = acc << width | uint64_t(code);
    bits += width;
    while (bits >= 8) {
      out.push_back(uint8_t(acc >> (bits - 8)));
      bits -= 8;
    }
  };
  std::map<std::pair<int, uint8_t>, int> table;
  put(256);
  int prefix = -1;
  for (uint8_t byte : data) {
    if (prefix < 0) {
      prefix = byte;
      continue;
    }
    const auto found = table.find({prefix, byte});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    put(prefix);
    table[{prefix, byte}] = next++;
    if (next == 512 || next == 1024 || next == 2048) ++width;
    if (next == 4094) {
      put(256);
      table.clear();
      next = 258;
      width = 9;
    }
    prefix = byte;
  }
  if (prefix >= 0) put(prefix);
  ++next;
  if (next == 512 || next == 1024 || next == 2048) ++width;
  put(257);
  if (bits) out.push_back(uint8_t(acc << (8 - bits)));
  return out;
}

}  // namespace tifftest
