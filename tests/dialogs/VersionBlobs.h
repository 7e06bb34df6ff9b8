#pragma once
// Version information blobs built in the tests, block by block.

#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

// One block: its key, its type (1 text, 0 binary), its value and children.
// The lengths are computed unless given.
struct TVersionNode {
  std::u16string Key;
  uint16_t Type = 1;
  TBytes Value;
  std::vector<TVersionNode> Children;
  int ValueLength = -1;  // -1: characters of text, bytes of binary
  int Length = -1;       // -1: the block's real length
};

inline void Put16(TBytes& out, size_t at, uint16_t v) {
  out[at] = uint8_t(v);
  out[at + 1] = uint8_t(v >> 8);
}

inline void Pad4(TBytes& out) {
  while (out.size() % 4) out.push_back(0);
}

// Appends the node at a 4-byte boundary of `out`.
inline void AppendNode(TBytes& out, const TVersionNode& node) {
  Pad4(out);
  const size_t start = out.size();
  out.resize(start + 6);
  for (const char16_t c : node.Key) out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8)});
  out.insert(out.end(), {0, 0});
  Pad4(out);
  out.insert(out.end(), node.Value.begin(), node.Value.end());
  for (const TVersionNode& child : node.Children) AppendNode(out, child);
  const size_t valueLength = node.Type == 1 ? node.Value.size() / 2 : node.Value.size();
  Put16(out, start, uint16_t(node.Length >= 0 ? size_t(node.Length) : out.size() - start));
  Put16(out, start + 2, uint16_t(node.ValueLength >= 0 ? size_t(node.ValueLength) : valueLength));
  Put16(out, start + 4, node.Type);
}

inline TBytes Utf16Z(const std::u16string& text) {
  TBytes out;
  for (const char16_t c : text) out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8)});
  out.insert(out.end(), {0, 0});
  return out;
}

inline TVersionNode StringEntry(const std::u16string& key, const std::u16string& value) {
  return {key, 1, Utf16Z(value), {}};
}

// VS_VERSION_INFO with a fixed-information value and one string table.
inline TVersionNode VersionInfo(const std::u16string& table, std::vector<TVersionNode> strings) {
  TVersionNode stringTable{table, 1, {}, std::move(strings)};
  TVersionNode stringFileInfo{u"StringFileInfo", 1, {}, {stringTable}};
  TVersionNode translation{u"Translation", 0, {0x09, 0x10, 0xE4, 0x04}, {}};
  TVersionNode varFileInfo{u"VarFileInfo", 1, {}, {translation}};
  TBytes fixed(52, 0);
  Put16(fixed, 0, 0x04BD);
  Put16(fixed, 2, 0xFEEF);
  return {u"VS_VERSION_INFO", 0, fixed, {stringFileInfo, varFileInfo}};
}

inline TBytes Blob(const TVersionNode& root) {
  TBytes out;
  AppendNode(out, root);
  return out;
}
