// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "raster/clip_geometry.h"

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wave {
namespace {

// Past this radius (pixels) a pixel's distance from the ring comes from
// d² − r² without a square root, by three terms of the series for
// √(r² + q) − r; the error, about 5e⁴/8r³ for a distance e, stays below a
// quarter of a coverage level up to a pen of 8 device pixels (4 at a ratio
// of 2). Two terms left up to two levels there.
constexpr double kSeriesRadius = 64;

// Goes down the rows where the ring (or, when solid, the whole disc inside
// its outer edge) can be seen, and hands each piece of a row to the sink:
// Begin(y), then Full(x0, x1) for fully covered runs and Partial(x, level)
// for the pixels around them (level 0..256), left to right, then End().
template <class Sink>
void Rasterise(int width, int height, double cx, double cy, double radius,
               double penWidth, bool solid, Sink& sink) {
  const double half = penWidth / 2;
  const double outer = radius + half + 0.5;  // reach of any partial coverage
  const double inner = solid ? -1 : radius - half - 0.5;
  const double fullOuter = radius + half - 0.5;  // centres here are covered
  const double fullInner = solid ? -1 : radius - half + 0.5;
  const auto halfChord = [](double r, double dy) {
    const double sq = r * r - dy * dy;
    return r > 0 && sq > 0 ? std::sqrt(sq) : -1.0;
  };
  const bool series = radius >= kSeriesRadius;
  const double inv2r = series ? 0.5 / radius : 0;
  // A pixel belongs to the left piece when its centre is left of cx, so
  // no pixel is covered twice.
  const int split = CeilWithin(cx - 0.5, -1, width + 1);
  const int last = width - 1;
  const auto drawRow = [&](int y) {
    const double dy = y + 0.5 - cy;
    const double dy2 = dy * dy;
    const double dy2MinusR2 = dy2 - radius * radius;
    const double xo = halfChord(outer, dy);
    if (xo < 0) return;
    const double xi = halfChord(inner, dy);
    const double xfo = halfChord(fullOuter, dy);
    const double xfi = halfChord(fullInner, dy);

    // Pixels whose centre lies within [fullFrom, fullTo] (relative to cx)
    // are fully covered; the rest of a piece gets coverage by distance.
    const auto piece = [&](double from, double to, double fullFrom,
                           double fullTo, int side) {
      int x0 = FloorWithin(cx + from, 0, last + 1);
      int x1 = CeilWithin(cx + to, -1, last);
      if (side < 0) x1 = std::min(x1, split - 1);
      if (side > 0) x0 = std::max(x0, split);
      int f0 = x1 + 1, f1 = x1;
      if (fullFrom <= fullTo) {
        f0 = std::max(x0, CeilWithin(cx + fullFrom - 0.5, -1, last + 1));
        f1 = std::min(x1, FloorWithin(cx + fullTo - 0.5, -1, last + 1));
      }
      if (x0 > x1) return;
      sink.Begin(y);
      for (int x = x0; x <= x1; ++x) {
        if (x == f0 && f0 <= f1) {
          sink.Full(f0, f1);
          x = f1;
          continue;
        }
        const double ex = x + 0.5 - cx;
        double e;  // signed distance of the pixel centre from the ring
        if (series) {
          const double t = (ex * ex + dy2MinusR2) * inv2r;
          e = t - t * t * inv2r + 2 * t * t * t * inv2r * inv2r;
        } else {
          e = std::sqrt(ex * ex + dy2) - radius;
        }
        const double coverage =
            std::clamp(half + 0.5 - (solid ? e : std::fabs(e)), 0.0, 1.0);
        sink.Partial(x, static_cast<unsigned>(coverage * 256 + 0.5));
      }
      sink.End();
    };
    if (xi < 0) {
      // The row passes inside the inner edge: one piece across the centre.
      if (xfo >= 0 && xfi < 0) {
        piece(-xo, xo, -xfo, xfo, 0);
      } else {
        // Fully covered only beside the inner full circle, or nowhere.
        const double lo = xfi < 0 ? 0 : xfi;
        piece(-xo, 0, xfo >= 0 ? -xfo : 1, xfo >= 0 ? -lo : 0, -1);
        piece(0, xo, xfo >= 0 ? lo : 1, xfo >= 0 ? xfo : 0, 1);
      }
    } else {
      const bool full = xfo >= 0;
      const double lo = xfi < 0 ? 0 : xfi;
      piece(-xo, -xi, full ? -xfo : 1, full ? -lo : 0, -1);
      piece(xi, xo, full ? lo : 1, full ? xfo : 0, 1);
    }
  };

  // Only the rows where the ring can be seen: a large ring crosses the
  // buffer in a few arcs, and most rows of its bounding box see none.
  const double reach = half + 1;
  const Rect bounds{0, 0, static_cast<double>(width),
                    static_cast<double>(height)};
  std::vector<std::pair<int, int>> rows;
  if (radius > 16 && !solid) {
    // Arcs cut at the widened edges: cut at the buffer's own edges, an arc
    // running just outside and along one would be judged by its midpoint
    // and its rim in the edge column lost.
    for (const AngleInterval& arc :
         VisibleAngles({cx, cy}, radius, bounds.Expanded(reach), 0)) {
      const auto [lo, hi] = VerticalExtent({cx, cy}, radius, arc);
      rows.emplace_back(
          static_cast<int>(std::floor(std::max(-1.0, lo - reach))),
          static_cast<int>(std::ceil(std::min<double>(height, hi + reach))));
    }
    std::sort(rows.begin(), rows.end());
  } else {
    rows.emplace_back(static_cast<int>(std::floor(cy - outer)),
                      static_cast<int>(std::ceil(cy + outer)));
  }
  int next = 0;  // first row not yet drawn
  for (const auto& [from, to] : rows) {
    const int bottom = std::min(height - 1, to);
    for (int y = std::max({0, from, next}); y <= bottom; ++y) drawRow(y);
    next = std::max(next, bottom + 1);
  }
}

// Levels as kept: 1..254 of 256, 255 for full, and 0 for no change.
std::uint8_t Kept(unsigned level) {
  return static_cast<std::uint8_t>(std::min(level, 255u));
}

void LayPixel(std::uint32_t& pixel, std::uint32_t colour, unsigned kept) {
  if (kept == 0) return;
  pixel = kept == 255 ? colour : BlendPixel(pixel, colour, kept);
}

// Blends each pixel as it comes.
class BlendSink {
 public:
  BlendSink(const PixelBuffer& buffer, std::uint32_t rgb)
      : buffer_(buffer), colour_(0xFF000000u | (rgb & 0xFFFFFFu)) {}
  void Begin(int y) { row_ = buffer_.pixels + y * buffer_.stride; }
  void Full(int x0, int x1) { std::fill(row_ + x0, row_ + x1 + 1, colour_); }
  void Partial(int x, unsigned level) {
    LayPixel(row_[x], colour_, Kept(level));
  }
  void End() {}

 private:
  const PixelBuffer& buffer_;
  std::uint32_t colour_;
  std::uint32_t* row_ = nullptr;
};

// Records each piece as a span, its levels trimmed of 0 at both ends.
class RecordSink {
 public:
  explicit RecordSink(RingCoverage& out) : out_(out) {}
  void Begin(int y) {
    y_ = y;
    first_ = out_.levels.size();
  }
  void Full(int x0, int x1) {
    if (Count() == 0) x_ = x0;
    out_.levels.insert(out_.levels.end(), static_cast<std::size_t>(x1 - x0 + 1),
                       255);
  }
  void Partial(int x, unsigned level) {
    if (Count() == 0) {
      if (level == 0) return;
      x_ = x;
    }
    out_.levels.push_back(Kept(level));
  }
  void End() {
    std::vector<std::uint8_t>& levels = out_.levels;
    while (levels.size() > first_ && levels.back() == 0) levels.pop_back();
    const int count = Count();
    if (count == 0) return;
    levels.resize(
        first_ + ((static_cast<std::size_t>(count) + 7) & ~std::size_t{7}), 0);
    out_.spans.push_back({y_, x_, count, static_cast<std::uint32_t>(first_)});
  }

 private:
  int Count() const { return static_cast<int>(out_.levels.size() - first_); }
  RingCoverage& out_;
  int y_ = 0, x_ = 0;
  std::size_t first_ = 0;
};

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
void LayPlain(const PixelBuffer& buffer, const RingCoverage& coverage,
              std::uint32_t rgb, int dx, int dy) {
  Clipped c;
  for (const RingCoverage::Span& span : coverage.spans) {
    if (Clip(buffer, coverage, span, dx, dy, c)) {
      LaySpanPlain(buffer, c.y, c.x, c.count, c.levels, rgb);
    }
  }
}
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx2"))) void LayWide(const PixelBuffer& buffer,
                                             const RingCoverage& coverage,
                                             std::uint32_t rgb, int dx,
                                             int dy) {
  Clipped c;
  for (const RingCoverage::Span& span : coverage.spans) {
    if (Clip(buffer, coverage, span, dx, dy, c)) {
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

void Cover(int width, int height, double cx, double cy, double radius,
           double penWidth, bool solid, RingCoverage& out) {
  out.clear();
  RecordSink sink(out);
  Rasterise(width, height, cx, cy, radius, penWidth, solid, sink);
  // A span cut at its left end by LayCoverage still reads eight levels.
  out.levels.resize(out.levels.size() + 8);
}

}  // namespace

void CoverRing(int width, int height, double cx, double cy, double radius,
               double penWidth, RingCoverage& out) {
  Cover(width, height, cx, cy, radius, penWidth, false, out);
}

void CoverDisc(int width, int height, double cx, double cy, double radius,
               RingCoverage& out) {
  Cover(width, height, cx, cy, radius, 0, true, out);
}

void LayCoverage(const PixelBuffer& buffer, const RingCoverage& coverage,
                 std::uint32_t rgb, int dx, int dy, Lanes lanes) {
  if (lanes == Lanes::Widest && WideLanes()) {
    LayWide(buffer, coverage, rgb, dx, dy);
  } else {
    LayPlain(buffer, coverage, rgb, dx, dy);
  }
}

void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb) {
  BlendSink sink(buffer, rgb);
  Rasterise(buffer.width, buffer.height, cx, cy, radius, penWidth, false, sink);
}

}  // namespace wave
