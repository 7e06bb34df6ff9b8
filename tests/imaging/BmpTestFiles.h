#pragma once
// Small BMP files built in memory for the reader's tests, every header field
// settable on its own.

#include <cstdint>
#include <vector>

namespace bmptest {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The fields of a file to build; table entries are 0x00RRGGBB.
struct TFile {
  uint32_t HeaderSize = 40;
  int32_t Width = 1;
  int32_t Height = 1;
  uint16_t Planes = 1;
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  uint32_t SizeImage = 0;
  uint32_t ClrUsed = 0;
  std::vector<uint32_t> Masks;  // after a 40-byte header, else inside it at 40
  std::vector<uint32_t> Table;
  std::vector<uint8_t> Pixels;
  uint32_t DataOffset = 0;  // 0: where the pixels are

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> info;
    Put32(info, HeaderSize);
    if (HeaderSize == 12) {
      Put16(info, uint16_t(Width));
      Put16(info, uint16_t(Height));
      Put16(info, Planes);
      Put16(info, Bits);
    } else {
      for (uint32_t v : {uint32_t(Width), uint32_t(Height)}) Put32(info, v);
      Put16(info, Planes);
      Put16(info, Bits);
      for (uint32_t v : {Compression, SizeImage, 0u, 0u, ClrUsed, 0u}) Put32(info, v);
      if (HeaderSize > 40)
        for (uint32_t m : Masks) Put32(info, m);
      info.resize(HeaderSize, 0);
      if (HeaderSize == 40)
        for (uint32_t m : Masks) Put32(info, m);
    }
    for (uint32_t c : Table) {
      info.push_back(uint8_t(c));
      info.push_back(uint8_t(c >> 8));
      info.push_back(uint8_t(c >> 16));
      if (HeaderSize != 12) info.push_back(0);
    }
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, uint32_t(14 + info.size() + Pixels.size()));
    Put32(out, 0);
    Put32(out, DataOffset ? DataOffset : uint32_t(14 + info.size()));
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), Pixels.begin(), Pixels.end());
    return out;
  }
};

}  // namespace bmptest
