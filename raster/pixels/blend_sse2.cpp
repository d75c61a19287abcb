// SPDX-License-Identifier: GPL-3.0-or-later
// Blending four pixels at a time with SSE2.
#include <emmintrin.h>

#include <cstring>

#include "raster/pixels/span_lanes.h"

namespace wave::lanes {
namespace {

void BlendSpanFour(std::uint32_t* row, int count, const std::uint8_t* levels,
                   std::uint32_t colour) {
  int i = 0;
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i all = _mm_set1_epi16(256);
  const __m128i src =
      _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
  // Never past the span: a store reaching into pixels a later span reads
  // holds that read back.
  for (; i + 4 <= count; i += 4) {
    std::int32_t four;
    std::memcpy(&four, levels + i, 4);
    __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
    a = _mm_sub_epi16(a, _mm_cmpeq_epi16(a, full));  // 255 is 256
    a = _mm_unpacklo_epi16(a, a);
    const __m128i dst =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    const auto mix = [&](__m128i d, __m128i alpha) {
      return _mm_srli_epi16(
          _mm_add_epi16(_mm_mullo_epi16(src, alpha),
                        _mm_mullo_epi16(d, _mm_sub_epi16(all, alpha))),
          8);
    };
    const __m128i lo =
        mix(_mm_unpacklo_epi8(dst, zero), _mm_unpacklo_epi32(a, a));
    const __m128i hi =
        mix(_mm_unpackhi_epi8(dst, zero), _mm_unpackhi_epi32(a, a));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i),
                     _mm_packus_epi16(lo, hi));
  }
  BlendSpanPlain(row, i, count, levels, colour);
}

}  // namespace

void LaySpansFour(const PixelBuffer& buffer, const CoverageRuns& coverage,
                  std::uint32_t colour, int dx, int dy, SpanRange spans) {
  ForEachSpan(
      buffer, coverage, dx, dy, spans,
      [colour](std::uint32_t* row, int count, const std::uint8_t* levels) {
        BlendSpanFour(row, count, levels, colour);
      });
}

}  // namespace wave::lanes
