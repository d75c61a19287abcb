// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

// Pixel buffers compared with the coverage rule the rasterisers follow,
// and the places along a buffer's borders where they are tried.
namespace wave::testing {

inline int LargestChannelDifference(std::uint32_t a, std::uint32_t b) {
  int m = 0;
  for (int shift : {0, 8, 16}) {
    m = std::max(m, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                             static_cast<int>((b >> shift) & 0xFF)));
  }
  return m;
}

// The largest channel difference over the buffer.
inline int Worst(const std::vector<std::uint32_t>& a,
                 const std::vector<std::uint32_t>& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    worst = std::max(worst, LargestChannelDifference(a[i], b[i]));
  }
  return worst;
}

// A point on the edge `side` of a width × height buffer (0 left, 1 right,
// 2 top, 3 bottom), `along` of the way, moved `out` pixels outwards.
inline std::pair<double, double> NearEdge(int side, double along, double out,
                                          int width, int height) {
  switch (side) {
    case 0:
      return {-out, along * height};
    case 1:
      return {width + out, along * height};
    case 2:
      return {along * width, -out};
    default:
      return {along * width, height + out};
  }
}

}  // namespace wave::testing
