// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/blend.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wave {
namespace {

// Blends colour into `count` pixels from (x, y) by their levels.
void LaySpanPlain(const PixelBuffer& buffer, int y, int x, int count,
                  const std::uint8_t* levels, std::uint32_t rgb) {
  const std::uint32_t colour = 0xFF000000u | (rgb & 0xFFFFFFu);
  std::uint32_t* row = buffer.pixels + y * buffer.stride + x;
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i all = _mm_set1_epi16(256);
  const __m128i src =
      _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
  // Four pixels at a time, never past the span: a store reaching into
  // pixels a later span reads holds that read back.
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
#endif
  for (; i < count; ++i) LayPixel(row[i], colour, levels[i]);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Eight pixels at a time with masked loads and stores, so that a span of up
// to eight pixels, most of them, takes one pass and no pixel past it is
// touched.
__attribute__((target("avx2"))) void LaySpanWide(const PixelBuffer& buffer,
                                                 int y, int x, int count,
                                                 const std::uint8_t* levels,
                                                 std::uint32_t rgb) {
  const std::uint32_t colour = 0xFF000000u | (rgb & 0xFFFFFFu);
  std::uint32_t* row = buffer.pixels + y * buffer.stride + x;
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

#endif

// The part of a span, moved by (dx, dy), that lies in the buffer.
struct Clipped {
  int y, x, count;
  const std::uint8_t* levels;
};
inline bool Clip(const PixelBuffer& buffer, const RingCoverage& coverage,
                 const RingCoverage::Span& span, int dx, int dy, Clipped& out) {
  const int y = span.y + dy;
  if (y < 0 || y >= buffer.height) return false;
  const int x = span.x + dx;
  const int from = std::max(0, -x);
  const int to = std::min(span.count, buffer.width - x);
  if (from >= to) return false;
  out = {y, x + from, to - from, coverage.levels.data() + span.first + from};
  return true;
}

// The span loops, one per lane width, so that each inlines its blend.
using SpanRange =
    std::pair<const RingCoverage::Span*, const RingCoverage::Span*>;

void LayPlain(const PixelBuffer& buffer, const RingCoverage& coverage,
              std::uint32_t rgb, int dx, int dy, SpanRange spans) {
  Clipped c;
  for (const RingCoverage::Span* span = spans.first; span != spans.second;
       ++span) {
    if (Clip(buffer, coverage, *span, dx, dy, c)) {
      LaySpanPlain(buffer, c.y, c.x, c.count, c.levels, rgb);
    }
  }
}
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx2"))) void LayWide(const PixelBuffer& buffer,
                                             const RingCoverage& coverage,
                                             std::uint32_t rgb, int dx, int dy,
                                             SpanRange spans) {
  Clipped c;
  for (const RingCoverage::Span* span = spans.first; span != spans.second;
       ++span) {
    if (Clip(buffer, coverage, *span, dx, dy, c)) {
      LaySpanWide(buffer, c.y, c.x, c.count, c.levels, rgb);
    }
  }
}
bool WideLanes() {
  static const bool wide = __builtin_cpu_supports("avx2");
  return wide;
}
#else
constexpr auto LayWide = LayPlain;
constexpr bool WideLanes() { return false; }
#endif

void Lay(const PixelBuffer& buffer, const RingCoverage& coverage,
         std::uint32_t rgb, int dx, int dy, SpanRange spans, Lanes lanes) {
  if (lanes == Lanes::Widest && WideLanes()) {
    LayWide(buffer, coverage, rgb, dx, dy, spans);
  } else {
    LayPlain(buffer, coverage, rgb, dx, dy, spans);
  }
}

}  // namespace

void LayCoverage(const PixelBuffer& buffer, const RingCoverage& coverage,
                 std::uint32_t rgb, int dx, int dy, Lanes lanes) {
  const RingCoverage::Span* spans = coverage.spans.data();
  Lay(buffer, coverage, rgb, dx, dy, {spans, spans + coverage.spans.size()},
      lanes);
}

std::size_t LayCoverageRows(const PixelBuffer& buffer,
                            const RingCoverage& coverage, std::uint32_t rgb,
                            int dx, int dy, int top, int bottom,
                            std::size_t from, Lanes lanes) {
  const std::size_t count = coverage.spans.size();
  const RingCoverage::Span* spans = coverage.spans.data();
  while (from < count && spans[from].y + dy < top) ++from;
  std::size_t to = from;
  while (to < count && spans[to].y + dy < bottom) ++to;
  Lay(buffer, coverage, rgb, dx, dy, {spans + from, spans + to}, lanes);
  return to;
}

}  // namespace wave
