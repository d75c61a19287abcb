// SPDX-License-Identifier: GPL-3.0-or-later
// Four pixels at a time with SSE2.
#include <emmintrin.h>

#include "raster/pixels/row_scan.h"

namespace wave {

int SkipColour(const std::uint32_t* row, int x, int width,
               std::uint32_t colour) {
  const __m128i all = _mm_set1_epi32(static_cast<int>(colour));
  for (; x + 4 <= width; x += 4) {
    const __m128i four =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(four, all)) != 0xFFFF) break;
  }
  while (x < width && row[x] == colour) ++x;
  return x;
}

}  // namespace wave
