// SPDX-License-Identifier: GPL-3.0-or-later
// The water eight pixels at a time with AVX2; this file alone is compiled
// for it, and called only where the processor has it.
#include <immintrin.h>

#include "raster/pixels/water_lanes.h"

namespace wave::lanes {
namespace {

struct Eight {
  using F = __m256;
  using M = __m256;
  static constexpr int kWidth = 8;
  static void Store(float* to, F v) { _mm256_storeu_ps(to, v); }
  static F Set(float v) { return _mm256_set1_ps(v); }
  static F Add(F a, F b) { return _mm256_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm256_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm256_mul_ps(a, b); }
  static F Sqrt(F a) { return _mm256_sqrt_ps(a); }
  static F Abs(F a) { return _mm256_andnot_ps(_mm256_set1_ps(-0.f), a); }
  static M Le(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }
  static M Lt(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  static M Gt(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
  static F Select(M m, F a, F b) { return _mm256_blendv_ps(b, a, m); }
  static F Trunc(F a) { return _mm256_cvtepi32_ps(_mm256_cvttps_epi32(a)); }
  static F Columns(int x) {
    return _mm256_add_ps(
        _mm256_cvtepi32_ps(_mm256_add_epi32(
            _mm256_set1_epi32(x), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7))),
        _mm256_set1_ps(0.5f));
  }
};

}  // namespace

void PhaseRowEight(const WaterField& f, bool b, int y, int x0, int count,
                   std::int8_t* out) {
  PhaseRowWith<Eight>(f, b, y, x0, count, out);
}

void AmplitudeRowEight(const WaterField& f, int y, int width,
                       std::uint8_t* out) {
  AmplitudeRowWith<Eight>(f, y, width, out);
}

void MixSurfaceEight(const std::int8_t* pairsA, const std::int8_t* pairsB,
                     int count, const SurfaceMix& mix,
                     const std::uint32_t* colours, std::uint32_t* out) {
  const __m256i k = _mm256_setr_epi16(mix.k[0], mix.k[1], mix.k[2], mix.k[3],
                                      mix.k[0], mix.k[1], mix.k[2], mix.k[3],
                                      mix.k[0], mix.k[1], mix.k[2], mix.k[3],
                                      mix.k[0], mix.k[1], mix.k[2], mix.k[3]);
  const __m256i round = _mm256_set1_epi32(128), middle = _mm256_set1_epi32(128);
  const __m256i zero = _mm256_setzero_si256(), top = _mm256_set1_epi32(255);
  const int* table = reinterpret_cast<const int*>(colours);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i a = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(pairsA + i * kPairBytes));
    const __m128i b = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(pairsB + i * kPairBytes));
    // Pixels 0–3 and 4–7, A's pair and B's side by side, each then as A's
    // sum and B's: A0 B0 A1 B1 | A2 B2 A3 B3.
    const __m256i lo =
        _mm256_madd_epi16(_mm256_cvtepi8_epi16(_mm_unpacklo_epi16(a, b)), k);
    const __m256i hi =
        _mm256_madd_epi16(_mm256_cvtepi8_epi16(_mm_unpackhi_epi16(a, b)), k);
    // Within each half: 0 1 4 5 | 2 3 6 7; put back in order.
    const __m256i sums = _mm256_permute4x64_epi64(_mm256_hadd_epi32(lo, hi),
                                                  _MM_SHUFFLE(3, 1, 2, 0));
    __m256i level = _mm256_add_epi32(
        _mm256_srai_epi32(_mm256_add_epi32(sums, round), 8), middle);
    level = _mm256_min_epi32(_mm256_max_epi32(level, zero), top);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_i32gather_epi32(table, level, 4));
  }
  MixSurfacePlain(pairsA + i * kPairBytes, pairsB + i * kPairBytes, count - i,
                  mix, colours, out + i);
}

}  // namespace wave::lanes
