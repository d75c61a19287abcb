// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/line_orders.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "scene/wave_geometry.h"

namespace wave::window {
namespace {

constexpr double kUnit = WaveGeometry::kTwipsPerUnit;
// How far the scene draws a line from the midpoint, in length units.
constexpr double kLineReach = 9;
constexpr double kMarginPx = 3;
constexpr double kGapPx = 2;
constexpr int kRowsUp = 2;

struct Candidate {
  std::int64_t m;
  bool antinodal;
  double xPx, yPx;  // where the line leaves
  enum class Side { kBottom, kLeft, kRight, kEnd } side;
  double A, B;  // the branch, in units about the midpoint
  int sign;
};

// Where the lower half of one branch of the hyperbola x²/A² − y²/B² = 1
// (units about the midpoint, `sign` its side) leaves the client area.
bool ExitOf(double A, double B, int sign, double xM, double widthTw,
            double heightTw, Candidate& c) {
  const double y0 = WaveGeometry::kSourceY;
  const double vertex = xM + sign * kUnit * A;
  if (!(vertex >= 0 && vertex <= widthTw)) return false;
  const double toSide = (sign > 0 ? widthTw - xM : xM) / kUnit;
  double u = std::min(kLineReach, toSide);
  Candidate::Side side =
      toSide < kLineReach
          ? (sign > 0 ? Candidate::Side::kRight : Candidate::Side::kLeft)
          : Candidate::Side::kEnd;
  if (A == 0) {
    u = 0;
    side = Candidate::Side::kBottom;
  } else if (B > 0) {
    const double down = (heightTw - y0) / kUnit * (A / B);
    const double toBottom = std::sqrt(A * A + down * down);
    if (toBottom <= u) {
      u = toBottom;
      side = Candidate::Side::kBottom;
    }
  }
  const double y =
      A == 0  ? heightTw
      : B > 0 ? y0 + kUnit * (B / A) * std::sqrt(std::max(0.0, u * u - A * A))
              : y0;
  c.xPx = xM + sign * kUnit * u;
  c.yPx = std::min(y, heightTw);
  c.side = side;
  return std::isfinite(c.xPx) && std::isfinite(c.yPx);
}

PixelBox BoxAt(const Candidate& c, const std::string& text, double widthPx,
               double heightPx) {
  // Digits and the sign in a proportional face: about 0.6 em each.
  const double w = 0.6 * kLabelFontPx * static_cast<double>(text.size()) + 6;
  const double h = kLabelFontPx + 4;
  PixelBox b{c.xPx - w / 2, c.yPx - h / 2, w, h};
  switch (c.side) {
    case Candidate::Side::kBottom:
      b.top = heightPx - kMarginPx - h;
      break;
    case Candidate::Side::kRight:
      b.left = widthPx - kMarginPx - w;
      break;
    case Candidate::Side::kLeft:
      b.left = kMarginPx;
      break;
    case Candidate::Side::kEnd:
      b.top = c.yPx + kGapPx;  // just below the line's last point
      break;
  }
  b.left = std::clamp(b.left, kMarginPx, widthPx - kMarginPx - w);
  b.top = std::clamp(b.top, kMarginPx, heightPx - kMarginPx - h);
  return b;
}

}  // namespace

bool PixelBox::Meets(const PixelBox& o, double gap) const {
  return left < o.left + o.width + gap && o.left < left + width + gap &&
         top < o.top + o.height + gap && o.top < top + height + gap;
}

std::vector<LineLabel> PlaceLineOrders(const WaveScene& scene,
                                       const ScreenMapping& mapping,
                                       double clientWidthPx,
                                       double clientHeightPx,
                                       const std::vector<PixelBox>& avoid) {
  std::vector<LineLabel> placed;
  const double lambda = scene.Wavelength;
  const double d = scene.Separation;
  if (!(lambda > 0) || !(d > 0) || !std::isfinite(d)) return placed;
  const double xM = WaveGeometry::MidpointX(d);
  const double widthTw = mapping.ToTwips(clientWidthPx);
  const double heightTw = mapping.ToTwips(clientHeightPx);
  std::vector<Candidate> candidates;
  for (const bool antinodal : {true, false}) {
    for (const double a : scene.LineMembers(antinodal ? SceneSwitch::kAntinodal
                                                      : SceneSwitch::kNodal)) {
      const double A = a * lambda / 2;
      // The line farthest in is beyond the area: so are the rest.
      if (kUnit * A > std::max(xM, widthTw - xM)) break;
      const double B = std::sqrt(std::max(0.0, d * d / 4 - A * A));
      for (const int sign : {-1, 1}) {
        if (A == 0 && sign < 0) continue;  // the central line is one
        Candidate c{static_cast<std::int64_t>(std::floor(a)),
                    antinodal,
                    0,
                    0,
                    Candidate::Side::kBottom,
                    A,
                    B,
                    sign};
        if (ExitOf(A, B, sign, xM, widthTw, heightTw, c)) {
          c.xPx = mapping.ToLogical(c.xPx);
          c.yPx = mapping.ToLogical(c.yPx);
          candidates.push_back(c);
        }
      }
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& p, const Candidate& q) {
                     return std::tuple(p.m, !p.antinodal) <
                            std::tuple(q.m, !q.antinodal);
                   });
  const auto free = [&](const PixelBox& box) {
    const auto meets = [&](const PixelBox& b) { return box.Meets(b, kGapPx); };
    return box.width + 2 * kMarginPx <= clientWidthPx &&
           std::none_of(avoid.begin(), avoid.end(), meets) &&
           std::none_of(placed.begin(), placed.end(),
                        [&](const LineLabel& l) { return meets(l.box); });
  };
  for (const Candidate& c : candidates) {
    LineLabel label{"m = " + std::to_string(c.m), c.antinodal, {}};
    label.box = BoxAt(c, label.text, clientWidthPx, clientHeightPx);
    // Crowded at the bottom: a row or two up the same line, on it.
    for (int row = 1; !free(label.box) && row <= kRowsUp; ++row) {
      if (c.side != Candidate::Side::kBottom || c.B <= 0) break;
      PixelBox up = label.box;
      up.top -= row * (up.height + kGapPx);
      const double y = mapping.ToTwips(up.top + up.height / 2);
      const double v = (y - WaveGeometry::kSourceY) / (kUnit * c.B);
      if (v <= 0) break;
      const double u = c.A * std::sqrt(1 + v * v);
      if (u > kLineReach) break;
      up.left = mapping.ToLogical(xM + c.sign * kUnit * u) - up.width / 2;
      if (up.left < kMarginPx || up.left + up.width > clientWidthPx - kMarginPx)
        break;
      if (free(up)) label.box = up;
    }
    if (free(label.box)) placed.push_back(std::move(label));
  }
  return placed;
}

}  // namespace wave::window
