#pragma once
// Timing and file helpers shared by the decode benchmarks.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

inline TBytes Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

// The best of several runs of about a fifth of a second each, in seconds per decode.
template <class Decode>
double Time(Decode&& decode) {
  using TClock = std::chrono::steady_clock;
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    int count = 0;
    const auto start = TClock::now();
    double elapsed = 0;
    do {
      decode();
      ++count;
      elapsed = std::chrono::duration<double>(TClock::now() - start).count();
    } while (elapsed < 0.2);
    best = std::min(best, elapsed / count);
  }
  return best;
}
