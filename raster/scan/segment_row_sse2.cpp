// SPDX-License-Identifier: GPL-3.0-or-later
// Two pixels at a time with SSE2, by the rule of CoverPixels without its
// shortcuts: beyond the pen's reach the level comes out 0, inside it 255,
// as the shortcuts give.
#include <emmintrin.h>

#include "raster/scan/segment_row.h"

namespace wave::segment {

void CoverRow(std::uint8_t* row, int left, int right, double yc,
              const Frame& f) {
  int x = left;
  const __m128d qy = _mm_set1_pd(yc - f.y0);
  const __m128d vux = _mm_set1_pd(f.ux), vuy = _mm_set1_pd(f.uy);
  const __m128d qyuy = _mm_mul_pd(qy, vuy);
  const __m128d zero = _mm_setzero_pd(), one = _mm_set1_pd(1);
  const __m128d along = _mm_set1_pd(f.length);
  const __m128d edge = _mm_set1_pd(f.half + 0.5);
  const __m128d centre = _mm_set1_pd(0.5), start = _mm_set1_pd(f.x0);
  const __m128d scale = _mm_set1_pd(255);
  for (; x + 1 <= right; x += 2) {
    const __m128d qx = _mm_sub_pd(
        _mm_add_pd(_mm_cvtepi32_pd(_mm_setr_epi32(x, x + 1, 0, 0)), centre),
        start);
    const __m128d t = _mm_min_pd(
        _mm_max_pd(_mm_add_pd(_mm_mul_pd(qx, vux), qyuy), zero), along);
    const __m128d ex = _mm_sub_pd(qx, _mm_mul_pd(t, vux));
    const __m128d ey = _mm_sub_pd(qy, _mm_mul_pd(t, vuy));
    const __m128d distance =
        _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(ex, ex), _mm_mul_pd(ey, ey)));
    const __m128d c =
        _mm_min_pd(_mm_max_pd(_mm_sub_pd(edge, distance), zero), one);
    const __m128i value =
        _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(c, scale), centre));
    const auto a = static_cast<std::uint8_t>(_mm_cvtsi128_si32(value));
    const auto b =
        static_cast<std::uint8_t>(_mm_cvtsi128_si32(_mm_srli_si128(value, 4)));
    row[x] = std::max(row[x], a);
    row[x + 1] = std::max(row[x + 1], b);
  }
  CoverPixels(row, x, right, yc, f);
}

}  // namespace wave::segment
