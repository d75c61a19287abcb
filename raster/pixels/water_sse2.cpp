// SPDX-License-Identifier: GPL-3.0-or-later
// The water four pixels at a time with SSE2.
#include <emmintrin.h>

#include "raster/pixels/water_lanes.h"

namespace wave::lanes {
namespace {

struct Four {
  using F = __m128;
  using M = __m128;
  static constexpr int kWidth = 4;
  static void Store(float* to, F v) { _mm_storeu_ps(to, v); }
  static F Set(float v) { return _mm_set1_ps(v); }
  static F Add(F a, F b) { return _mm_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm_mul_ps(a, b); }
  static F Sqrt(F a) { return _mm_sqrt_ps(a); }
  static F Abs(F a) { return _mm_andnot_ps(_mm_set1_ps(-0.f), a); }
  static M Le(F a, F b) { return _mm_cmple_ps(a, b); }
  static M Lt(F a, F b) { return _mm_cmplt_ps(a, b); }
  static M Gt(F a, F b) { return _mm_cmpgt_ps(a, b); }
  static F Select(M m, F a, F b) {
    return _mm_or_ps(_mm_and_ps(m, a), _mm_andnot_ps(m, b));
  }
  static F Trunc(F a) { return _mm_cvtepi32_ps(_mm_cvttps_epi32(a)); }
  static F Columns(int x) {
    return _mm_add_ps(_mm_cvtepi32_ps(_mm_add_epi32(
                          _mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3))),
                      _mm_set1_ps(0.5f));
  }
};

}  // namespace

void PhaseRowFour(const WaterField& f, bool b, int y, int x0, int count,
                  std::int8_t* out) {
  PhaseRowWith<Four>(f, b, y, x0, count, out);
}

void AmplitudeRowFour(const WaterField& f, int y, int width,
                      std::uint8_t* out) {
  AmplitudeRowWith<Four>(f, y, width, out);
}

void MixSurfaceFour(const std::int8_t* pairsA, const std::int8_t* pairsB,
                    int count, const SurfaceMix& mix,
                    const std::uint32_t* colours, std::uint32_t* out) {
  const __m128i k = _mm_setr_epi16(mix.k[0], mix.k[1], mix.k[2], mix.k[3],
                                   mix.k[0], mix.k[1], mix.k[2], mix.k[3]);
  const __m128i round = _mm_set1_epi32(128), middle = _mm_set1_epi32(128);
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    // A's pair and B's side by side: four bytes a pixel.
    const __m128i bytes = _mm_unpacklo_epi16(
        _mm_loadl_epi64(
            reinterpret_cast<const __m128i*>(pairsA + i * kPairBytes)),
        _mm_loadl_epi64(
            reinterpret_cast<const __m128i*>(pairsB + i * kPairBytes)));
    // Signed bytes to 16 bits; then per pixel A's pair and B's pair summed:
    // lanes A0 B0 A1 B1, A2 B2 A3 B3.
    const __m128i low = _mm_srai_epi16(_mm_unpacklo_epi8(zero, bytes), 8);
    const __m128i high = _mm_srai_epi16(_mm_unpackhi_epi8(zero, bytes), 8);
    const __m128 lo = _mm_castsi128_ps(_mm_madd_epi16(low, k));
    const __m128 hi = _mm_castsi128_ps(_mm_madd_epi16(high, k));
    const __m128i a = _mm_castps_si128(_mm_shuffle_ps(lo, hi, 0x88));
    const __m128i b = _mm_castps_si128(_mm_shuffle_ps(lo, hi, 0xDD));
    const __m128i level = _mm_add_epi32(
        _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(a, b), round), 8), middle);
    // Saturating packs clamp to 0..255.
    const __m128i packed = _mm_packs_epi32(level, level);
    const int four = _mm_cvtsi128_si32(_mm_packus_epi16(packed, packed));
    for (int j = 0; j < 4; ++j) {
      out[i + j] = colours[(static_cast<unsigned>(four) >> (8 * j)) & 0xFFu];
    }
  }
  MixSurfacePlain(pairsA + i * kPairBytes, pairsB + i * kPairBytes, count - i,
                  mix, colours, out + i);
}

}  // namespace wave::lanes
