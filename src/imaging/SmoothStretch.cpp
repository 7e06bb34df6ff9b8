#include "imaging/SmoothStretch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int WeightBits = 14;
constexpr int32_t WeightOne = 1 << WeightBits;
// The first pass keeps this many bits below each 8-bit level for the second.
constexpr int ExtraBits = 6;

// The source pixels one new pixel is made of along one side, with their
// weights in fixed point; the weights of a pixel add up to WeightOne.
struct TTaps {
  std::vector<int> First;        // per new pixel: its first source pixel
  std::vector<int> Count;        // per new pixel: how many source pixels
  std::vector<int16_t> Weights;  // per new pixel: MaxCount weights
  int MaxCount = 0;
};

// Rounds the weights of one pixel so that they add up to WeightOne exactly:
// the largest takes what rounding left over.
void Quantise(const std::vector<double>& weights, int16_t* out) {
  int32_t sum = 0;
  size_t largest = 0;
  for (size_t k = 0; k < weights.size(); ++k) {
    out[k] = static_cast<int16_t>(std::lround(weights[k] * WeightOne));
    sum += out[k];
    if (weights[k] > weights[largest]) largest = k;
  }
  out[largest] = static_cast<int16_t>(out[largest] + (WeightOne - sum));
}

// Each new pixel covers the source span [i × scale, (i + 1) × scale).
void AreaWeights(int from, int to, int i, int& first, std::vector<double>& weights) {
  const double scale = double(from) / to;
  const double left = i * scale, right = (i + 1) * scale;
  first = static_cast<int>(left);
  const int last = std::min(from - 1, static_cast<int>(std::ceil(right)) - 1);
  weights.clear();
  for (int j = first; j <= last; ++j)
    weights.push_back((std::min<double>(j + 1, right) - std::max<double>(j, left)) / scale);
}

// The new pixel's centre mapped back onto the source, between two pixels;
// beyond an edge the edge pixel stands in.
void TriangleWeights(int from, int to, int i, int& first, std::vector<double>& weights) {
  const double centre = (i + 0.5) * from / to - 0.5;
  const int left = static_cast<int>(std::floor(centre));
  const double fraction = centre - left;
  if (left < 0) {
    first = 0;
    weights.assign(1, 1.0);
  } else if (left + 1 >= from) {
    first = from - 1;
    weights.assign(1, 1.0);
  } else {
    first = left;
    weights = {1.0 - fraction, fraction};
  }
}

TTaps Taps(int from, int to) {
  TTaps taps;
  taps.MaxCount = from > to ? static_cast<int>(std::ceil(double(from) / to)) + 1 : 2;
  taps.First.resize(size_t(to));
  taps.Count.resize(size_t(to));
  taps.Weights.assign(size_t(to) * size_t(taps.MaxCount), 0);
  std::vector<double> weights;
  for (int i = 0; i < to; ++i) {
    if (from > to)
      AreaWeights(from, to, i, taps.First[size_t(i)], weights);
    else
      TriangleWeights(from, to, i, taps.First[size_t(i)], weights);
    taps.Count[size_t(i)] = int(weights.size());
    Quantise(weights, &taps.Weights[size_t(i) * size_t(taps.MaxCount)]);
  }
  return taps;
}

// One row along its width into the intermediate's levels (8 bits and ExtraBits).
void ResizeRow(const uint8_t* in, const TTaps& taps, uint16_t* out) {
  constexpr int Shift = WeightBits - ExtraBits;
  const size_t width = taps.First.size();
  for (size_t i = 0; i < width; ++i, out += 3) {
    const int16_t* w = &taps.Weights[i * size_t(taps.MaxCount)];
    const uint8_t* p = in + size_t(taps.First[i]) * 3;
    int32_t b = 0, g = 0, r = 0;
    for (int k = 0; k < taps.Count[i]; ++k, p += 3) {
      b += w[k] * p[0];
      g += w[k] * p[1];
      r += w[k] * p[2];
    }
    out[0] = uint16_t((b + (1 << (Shift - 1))) >> Shift);
    out[1] = uint16_t((g + (1 << (Shift - 1))) >> Shift);
    out[2] = uint16_t((r + (1 << (Shift - 1))) >> Shift);
  }
}

// One new row from the intermediate rows its taps name.
void ResizeColumn(const std::vector<uint16_t>& rows, size_t rowLength, const TTaps& taps, int y,
                  std::vector<int32_t>& sum, uint8_t* out) {
  constexpr int Shift = WeightBits + ExtraBits;
  std::fill(sum.begin(), sum.end(), 1 << (Shift - 1));
  const int16_t* w = &taps.Weights[size_t(y) * size_t(taps.MaxCount)];
  for (int k = 0; k < taps.Count[size_t(y)]; ++k) {
    const uint16_t* row = rows.data() + size_t(taps.First[size_t(y)] + k) * rowLength;
    const int32_t weight = w[k];
    for (size_t x = 0; x < rowLength; ++x) sum[x] += weight * row[x];
  }
  for (size_t x = 0; x < rowLength; ++x) out[x] = uint8_t(std::clamp(sum[x] >> Shift, 0, 255));
}

}  // namespace

// Widths first: every source row becomes a row of the new width in the
// intermediate, then each new row is a weighted sum of intermediate rows.
TBitmap StretchSmooth(const TBitmap& source, int width, int height) {
  TBitmap result(width, height, TPixelFormat::pf24bit);
  if (source.Empty() || result.Empty()) return result;
  const TTaps across = Taps(source.Width(), width);
  const TTaps down = Taps(source.Height(), height);
  const size_t rowLength = size_t(width) * 3;
  std::vector<uint16_t> rows(rowLength * size_t(source.Height()));
  for (int y = 0; y < source.Height(); ++y) ResizeRow(source.ScanLine(y), across, rows.data() + size_t(y) * rowLength);
  std::vector<int32_t> sum(rowLength);
  for (int y = 0; y < height; ++y) ResizeColumn(rows, rowLength, down, y, sum, result.ScanLine(y));
  return result;
}
