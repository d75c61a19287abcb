#include "canvas/ring_raster.h"

#include <algorithm>
#include <cmath>

namespace wave {
namespace {

std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned alpha) {
  const unsigned inv = 256 - alpha;
  const std::uint32_t rb = (((src & 0xFF00FFu) * alpha +
                             (dst & 0xFF00FFu) * inv) >> 8) & 0xFF00FFu;
  const std::uint32_t g =
      (((src & 0x00FF00u) * alpha + (dst & 0x00FF00u) * inv) >> 8) & 0x00FF00u;
  return 0xFF000000u | rb | g;
}

}  // namespace

void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb) {
  const double half = penWidth / 2;
  const double outer = radius + half + 0.5;  // reach of any partial coverage
  const double inner = radius - half - 0.5;
  const std::uint32_t colour = 0xFF000000u | (rgb & 0xFFFFFFu);
  const int top = std::max(0, static_cast<int>(std::floor(cy - outer)));
  const int bottom =
      std::min(buffer.height - 1, static_cast<int>(std::ceil(cy + outer)));
  for (int y = top; y <= bottom; ++y) {
    const double dy = y + 0.5 - cy;
    const double outerSq = outer * outer - dy * dy;
    if (outerSq < 0) continue;
    const double xo = std::sqrt(outerSq);
    const double xi = inner > std::fabs(dy) ? std::sqrt(inner * inner - dy * dy)
                                            : -1.0;
    std::uint32_t* row = buffer.pixels + y * buffer.stride;
    // The left and right pieces of the band on this row (one when the row
    // passes outside the inner edge).
    const double pieces[2][2] = {{cx - xo, xi < 0 ? cx + xo : cx - xi},
                                 {cx + xi, cx + xo}};
    for (int p = 0; p < (xi < 0 ? 1 : 2); ++p) {
      const int x0 = std::max(0, static_cast<int>(std::floor(pieces[p][0])));
      const int x1 = std::min(buffer.width - 1,
                              static_cast<int>(std::ceil(pieces[p][1])));
      for (int x = x0; x <= x1; ++x) {
        const double d = std::hypot(x + 0.5 - cx, dy);
        const double coverage = std::clamp(half + 0.5 - std::fabs(d - radius),
                                           0.0, 1.0);
        if (coverage <= 0) continue;
        const auto alpha = static_cast<unsigned>(coverage * 256 + 0.5);
        row[x] = alpha >= 256 ? colour : Blend(row[x], colour, alpha);
      }
    }
  }
}

}  // namespace wave
