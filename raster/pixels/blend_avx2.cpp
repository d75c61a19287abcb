// SPDX-License-Identifier: GPL-3.0-or-later
// Blending eight pixels at a time with AVX2; this file alone is compiled
// for it, and called only where the processor has it.
#include <immintrin.h>

#include <cstring>

#include "raster/pixels/span_lanes.h"

namespace wave::lanes {
namespace {

// Masked loads and stores, so that a span of up to eight pixels, most of
// them, takes one pass and no pixel past it is touched.
void BlendSpanEight(std::uint32_t* row, int count, const std::uint8_t* levels,
                    std::uint32_t colour) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i full = _mm256_set1_epi32(255);
  const __m256i all = _mm256_set1_epi16(256);
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i solid = _mm256_set1_epi32(static_cast<int>(colour));
  const __m256i src = _mm256_unpacklo_epi8(solid, zero);
  for (int i = 0; i < count; i += 8) {
    const __m256i mask =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i), lanes);
    std::int64_t eight;  // the levels are padded to eight
    std::memcpy(&eight, levels + i, 8);
    int* at = reinterpret_cast<int*>(row + i);
    if (eight == -1) {  // all full: inside dots, along flat arcs
      _mm256_maskstore_epi32(at, mask, solid);
      continue;
    }
    __m256i a = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(eight));
    a = _mm256_sub_epi32(a, _mm256_cmpeq_epi32(a, full));  // 255 is 256
    a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));      // in both halves
    const __m256i dst = _mm256_maskload_epi32(at, mask);
    const __m256i alo = _mm256_unpacklo_epi32(a, a);
    const __m256i ahi = _mm256_unpackhi_epi32(a, a);
    const __m256i lo = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(src, alo),
                         _mm256_mullo_epi16(_mm256_unpacklo_epi8(dst, zero),
                                            _mm256_sub_epi16(all, alo))),
        8);
    const __m256i hi = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(src, ahi),
                         _mm256_mullo_epi16(_mm256_unpackhi_epi8(dst, zero),
                                            _mm256_sub_epi16(all, ahi))),
        8);
    _mm256_maskstore_epi32(at, mask, _mm256_packus_epi16(lo, hi));
  }
}

}  // namespace

void LaySpansEight(const PixelBuffer& buffer, const CoverageRuns& coverage,
                   std::uint32_t colour, int dx, int dy, SpanRange spans) {
  ForEachSpan(
      buffer, coverage, dx, dy, spans,
      [colour](std::uint32_t* row, int count, const std::uint8_t* levels) {
        BlendSpanEight(row, count, levels, colour);
      });
}

bool HasEight() {
  static const bool eight = __builtin_cpu_supports("avx2");
  return eight;
}

}  // namespace wave::lanes
