// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/wave_scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "canvas/plane_geometry.h"
#include "canvas/text_to_number.h"
#include "scene/counting_loop.h"

namespace wave {
namespace {

constexpr double kSourceX = 4000;  // source A, and the line of both sources
constexpr double kSourceY = 4000;
constexpr double kTwipsPerUnit = 500;
constexpr std::int64_t kFrontAdvance = 100;
constexpr double kMarkRadius = 20;
constexpr double kCurveReach = 9;    // length units from the midpoint
constexpr double kCurveStep = 0.05;  // length units
constexpr float kFallback = 0.1f;    // replaces a zero wavelength or distance

constexpr Color kFrontA = 0xFFFF00;
constexpr Color kFrontB = RGB(255, 32, 255);
constexpr Color kCrestA = 0xFF0000;
constexpr Color kCrestB = 0x0000FF;
constexpr Color kSourceMark = 0;
constexpr Color kAntinodal = RGB(180, 180, 0);
constexpr Color kNodal = RGB(32, 32, 32);
constexpr Color kCrestMarker = 0x00FF00;
constexpr Color kTroughMarker = RGB(0, 80, 0);

std::int16_t Flip(std::int16_t value) { return value == 0 ? 1 : 0; }

// single(factor * lambda * phaseTerm); a zero phase term gives 0 outright,
// so an infinite wavelength gives 0 here rather than NaN.
float PhaseOffset(double factor, float lambda, std::int16_t phaseTerm) {
  if (phaseTerm == 0) return 0.0f;
  return ToSingle(factor * static_cast<double>(lambda) * phaseTerm);
}

// The passes of `loop` whose circle about (centreX, 4000), widened by
// `reach`, can touch the visible area.
CountingLoop::Span VisibleSpan(const CountingLoop& loop, double centreX,
                               double reach, const VisibleArea& area) {
  const Rect rect{area.left, area.top, area.right, area.bottom};
  const Point centre{centreX, kSourceY};
  return loop.IndicesWithin(NearestDistance(centre, rect) - reach,
                            FarthestDistance(centre, rect) + reach);
}

// For each circle of A (radius r1), the passes of B's loop whose circles can
// meet it: |r1 − D| ≤ r2 ≤ r1 + D, widened by a margin far above rounding.
// Every pass when the step is not a finite negative value.
struct MeetingRange {
  MeetingRange(const CountingLoop& inner, double start1, double distance)
      : inner(inner),
        ranged(inner.step < 0 && std::isfinite(inner.step)),
        span(-inner.step),
        D(distance),
        margin(2 * span + 1 +
               1e-6 * (std::max(std::fabs(start1), std::fabs(inner.start)) +
                       distance)) {}

  CountingLoop::Span For(double r1) const {
    if (!ranged) return {0, inner.passes - 1};
    const double lastIndex = static_cast<double>(inner.passes - 1);
    const double lo = std::fabs(r1 - D) - margin;
    const double hi = r1 + D + margin;
    return {static_cast<std::int64_t>(std::clamp(
                std::floor((inner.start - hi) / span), 0.0, lastIndex + 1)),
            static_cast<std::int64_t>(std::clamp(
                std::ceil((inner.start - lo) / span), -1.0, lastIndex))};
  }

  const CountingLoop& inner;
  bool ranged;
  double span, D, margin;
};

// Where A's circle r1 meets B's circle r2, as (x from A, y ≥ 0).
std::optional<std::pair<double, double>> Crossing(double r1, double r2,
                                                  double d) {
  const double x = (r1 * r1 - r2 * r2 + 250000 * (d * d)) / 1000 / d;
  if (r1 * r1 < x * x) return std::nullopt;
  return std::make_pair(x, std::sqrt(r1 * r1 - x * x));
}

}  // namespace

// Runs body(k) for the passes of `loop` in order. With a visible area from
// the canvas only the passes whose ring about one of the centres can be
// seen run; without one, all.
template <class Body>
void WaveScene::ForVisiblePasses(const CountingLoop& loop,
                                 std::initializer_list<double> centresX,
                                 double reach, Body body) const {
  const auto visible = canvas_.Visible();
  if (!visible) {
    for (std::int64_t k = 0; k < loop.passes; ++k) body(k);
    return;
  }
  std::vector<CountingLoop::Span> spans;
  for (const double x : centresX) {
    const CountingLoop::Span span = VisibleSpan(loop, x, reach, *visible);
    if (!span.empty()) spans.push_back(span);
  }
  std::sort(spans.begin(), spans.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::int64_t next = 0;  // first pass not yet run
  for (const CountingLoop::Span& span : spans) {
    for (std::int64_t k = std::max(next, span.first); k <= span.last; ++k) {
      body(k);
    }
    next = std::max(next, span.last + 1);
  }
}

WaveScene::WaveScene(Edition edition, Canvas& canvas, FormControls& form)
    : edition_(edition), canvas_(canvas), form_(form) {}

void WaveScene::InitScene() {
  FrontRadius = 1000;
  ShowAntinodal = 0;
  ShowNodal = 0;
  ShowCrossings = 1;
  Antiphase = 0;
}

void WaveScene::RedrawFrame() {
  FrontRadius -= kFrontAdvance;
  StepFrame();
}

void WaveScene::ToggleAntinodal() {
  ShowAntinodal = Flip(ShowAntinodal);
  RedrawFrame();
}

void WaveScene::ToggleNodal() {
  ShowNodal = Flip(ShowNodal);
  RedrawFrame();
}

void WaveScene::ToggleCrossings() {
  ShowCrossings = Flip(ShowCrossings);
  RedrawFrame();
}

void WaveScene::TogglePhase() {
  if (edition_ == Edition::Six) return;
  Antiphase = Flip(Antiphase);
  form_.ShowPhase(Antiphase);
  RedrawFrame();
}

void WaveScene::ResetScene() {
  FrontRadius = 1000;
  ShowAntinodal = 0;
  ShowNodal = 0;
  ShowCrossings = 1;
  StepFrame();
}

void WaveScene::StepFrame() {
  canvas_.Cls();
  canvas_.SetDrawWidth(4);
  canvas_.SetDrawStyle(kDotted);

  Wavelength = ToSingle(TextToNumber(form_.Text1()));
  Separation = TextToNumber(form_.Text2());
  if (Wavelength == 0) Wavelength = kFallback;
  if (Separation == 0) Separation = 0.1;
  // Below a tenth of a unit the fronts lie closer than a pixel and the work
  // grows as 1/wavelength squared: such a wavelength is drawn as 0.1.
  if (std::fabs(Wavelength) < kFallback) {
    Wavelength = std::copysign(kFallback, Wavelength);
  }
  if (edition_ == Edition::Six) Antiphase = 0;

  const double lambda = Wavelength;
  const double d = Separation;
  const double xB = kSourceX + kTwipsPerUnit * d;

  if (Antiphase == 0 && ShowAntinodal == 1) DrawHyperbolas(1, kAntinodal);
  if (Antiphase == 1 && ShowAntinodal == 1) DrawHyperbolas(0.5, kAntinodal);
  if (Antiphase == 0 && ShowNodal == 1) DrawHyperbolas(0.5, kNodal);
  if (Antiphase == 1 && ShowNodal == 1) DrawHyperbolas(1, kNodal);

  FrontRadius += kFrontAdvance;
  const double front = static_cast<double>(FrontRadius);
  const double h = ToSingle(-250.0 * lambda);
  const double w = ToSingle(-500.0 * lambda);
  const double oB = PhaseOffset(250.0, Wavelength, Antiphase);

  canvas_.SetFillStyle(kFillHollow);
  const CountingLoop fronts(front, 0, h);
  const CountingLoop crestsA(front, 0, w);
  const CountingLoop crestsB(front - oB, 0, w);
  // A front that a crest of the same source repaints later (same centre,
  // radius and pen) cannot be seen; where the canvas tells what it shows it
  // is left out. Crests lie every second front.
  const bool leaveCovered = canvas_.Visible().has_value();
  const auto covered = [&](const CountingLoop& crests, std::int64_t k) {
    if (!leaveCovered) return false;
    const std::int64_t j = k / 2;
    for (const std::int64_t c : {j, j + 1}) {
      if (c < crests.passes && crests.At(c) == fronts.At(k)) return true;
    }
    return false;
  };
  ForVisiblePasses(fronts, {kSourceX, xB}, 0, [&](std::int64_t k) {
    const double r = fronts.At(k);
    if (!covered(crestsA, k)) DrawCircle(kSourceX, kSourceY, r, kFrontA);
    if (!covered(crestsB, k)) DrawCircle(xB, kSourceY, r, kFrontB);
  });

  if (edition_ == Edition::Six) {
    // One pass per radius: of two crossing crests the smaller lies on top.
    const CountingLoop crests(front, 0, w);
    ForVisiblePasses(crests, {kSourceX, xB}, 0, [&](std::int64_t k) {
      const double r = crests.At(k);
      DrawCircle(kSourceX, kSourceY, r, kCrestA);
      DrawCircle(xB, kSourceY, r, kCrestB);
    });
  } else {
    ForVisiblePasses(crestsA, {kSourceX}, 0, [&](std::int64_t k) {
      DrawCircle(kSourceX, kSourceY, crestsA.At(k), kCrestA);
    });
    ForVisiblePasses(crestsB, {xB}, 0, [&](std::int64_t k) {
      DrawCircle(xB, kSourceY, crestsB.At(k), kCrestB);
    });
  }

  DrawCircle(kSourceX, kSourceY, kMarkRadius, kSourceMark);
  DrawCircle(xB, kSourceY, kMarkRadius, kSourceMark);

  if (ShowCrossings == 1) MarkCrossings();

  const float labelLeft = ToSingle(kSourceX - 100 + kTwipsPerUnit * d);
  if (std::isfinite(labelLeft)) form_.SetLabel5Left(labelLeft);
}

// Each member is x²/A² − y²/B² = 1 about the midpoint, foci at the sources,
// path difference 2A = a·λ. A member whose |A| exceeds the reach of 9 units
// has no point to draw, and |A| only grows with a, so the family ends there.
template <class Body>
void WaveScene::ForMembers(double offset, Body body) const {
  const double lambda = Wavelength;
  const double end = Separation / lambda;
  for (double a = offset; a <= end; a += 1) {
    const double A = a * lambda / 2;
    if (!(std::fabs(A) <= kCurveReach)) break;
    body(a, A);
  }
}

std::vector<double> WaveScene::Members(double offset) const {
  std::vector<double> members;
  if (offset == 1) members.push_back(0);  // the central line
  ForMembers(offset, [&](double a, double) { members.push_back(a); });
  return members;
}

void WaveScene::DrawHyperbolas(double offset, Color color) {
  const double d = Separation;
  const double xM = kSourceX + 250.0 * d;

  ForMembers(offset, [&](double, double A) {
    const double A2 = A * A;
    // Rounding can leave d²/4 − A² a hair below 0 where a·λ equals d.
    const double B = std::sqrt(std::max(0.0, d * d / 4 - A2));
    double xp = A;
    double yp = 0;
    for (double x = A; x <= kCurveReach; x += kCurveStep) {
      // NaN where x² < A² (wavelength and distance both negative): the
      // segments touching such a point are not drawn.
      const double y = (B / A) * std::sqrt(x * x - A2);
      canvas_.SetDrawWidth(2);
      DrawLine(xM + 500 * xp, kSourceY - 500 * yp, xM + 500 * x,
               kSourceY - 500 * y, color);
      DrawLine(xM + 500 * xp, kSourceY + 500 * yp, xM + 500 * x,
               kSourceY + 500 * y, color);
      DrawLine(xM - 500 * xp, kSourceY - 500 * yp, xM - 500 * x,
               kSourceY - 500 * y, color);
      DrawLine(xM - 500 * xp, kSourceY + 500 * yp, xM - 500 * x,
               kSourceY + 500 * y, color);
      xp = x;
      yp = y;
    }
  });
  canvas_.SetDrawWidth(4);
  if (offset == 1) DrawLine(xM, 0, xM, 15000, color);
}

void WaveScene::MarkCrossings() {
  const double markerRadius = TextToNumber(form_.Text3());
  const double front = static_cast<double>(FrontRadius);
  const double w = ToSingle(-500.0 * static_cast<double>(Wavelength));
  const double oB = PhaseOffset(250.0, Wavelength, Antiphase);
  const double oT = PhaseOffset(250.0, Wavelength, 1);
  const double oBT =
      PhaseOffset(250.0, Wavelength, static_cast<std::int16_t>(1 - Antiphase));
  const double crestStart = front - oB;
  const double troughStart = front - oBT;

  if (const auto visible = canvas_.Visible()) {
    // A circle of negative or infinite radius shows nothing.
    if (!(markerRadius >= 0) || !std::isfinite(markerRadius)) return;
    // Dots that each cover the whole visible area: only the last one drawn
    // can be seen. Found from the end, it spares testing every pair.
    const Rect area{visible->left, visible->top, visible->right,
                    visible->bottom};
    const struct {
      double start1, start2;
      Color color;
    } groups[] = {{front - oT, troughStart, kTroughMarker},
                  {front, crestStart, kCrestMarker}};
    for (const auto& g : groups) {
      const auto last = LastCrossing(g.start1, g.start2, w);
      if (!last) continue;  // no dot in this group: look at the one before
      const Point top{kSourceX + last->first, kSourceY - last->second};
      if (markerRadius < FarthestDistance(top, area)) break;
      canvas_.SetFillColor(g.color);
      canvas_.SetFillStyle(kFillSolid);
      DrawCircle(kSourceX + last->first, kSourceY + last->second, markerRadius,
                 g.color);
      DrawCircle(top.x, top.y, markerRadius, g.color);
      return;
    }
  }
  MarkGroup(front, crestStart, w, markerRadius, kCrestMarker);
  MarkGroup(front - oT, troughStart, w, markerRadius, kTroughMarker);
}

// The crossing (x, y) of the last pair of circles that meet, in the order
// MarkGroup visits them, or nothing when none meet.
std::optional<std::pair<double, double>> WaveScene::LastCrossing(
    double start1, double start2, double step) const {
  const double d = Separation;
  if (!std::isfinite(d)) return std::nullopt;
  const CountingLoop outer(start1, 0, step);
  const CountingLoop inner(start2, 0, step);
  if (outer.passes == 0 || inner.passes == 0) return std::nullopt;
  const MeetingRange meeting(inner, start1, std::fabs(kTwipsPerUnit * d));
  for (std::int64_t i = outer.passes - 1; i >= 0; --i) {
    const double r1 = outer.At(i);
    const CountingLoop::Span range = meeting.For(r1);
    for (std::int64_t k = range.last; k >= range.first; --k) {
      if (const auto c = Crossing(r1, inner.At(k), d)) return c;
    }
  }
  return std::nullopt;
}

// Marks where A's circles (radii start1, start1 + step, …) meet B's
// (start2, …). Circles of radii r1 and r2 can meet only when
// |r1 − D| ≤ r2 ≤ r1 + D (D the distance of the sources in twips), so for
// each r1 only that range of r2, widened by a margin far above rounding,
// is tested; every pair outside it would fail the test r1² < x² anyway.
void WaveScene::MarkGroup(double start1, double start2, double step,
                          double markerRadius, Color color) {
  // Where the canvas tells what it shows, only marks that can be seen: a
  // mark lies r1 from A and r2 from B, and reaches |R| around itself.
  ForCrossings(start1, start2, step, std::fabs(markerRadius), canvas_.Visible(),
               [&](double x, double y) {
                 canvas_.SetFillColor(color);
                 canvas_.SetFillStyle(kFillSolid);
                 DrawCircle(kSourceX + x, kSourceY + y, markerRadius, color);
                 DrawCircle(kSourceX + x, kSourceY - y, markerRadius, color);
               });
}

// Circles of radii r1 and r2 can meet only when |r1 − D| ≤ r2 ≤ r1 + D (D
// the distance of the sources in twips), so for each r1 only that range of
// r2, widened by a margin far above rounding, is tested; every pair outside
// it would fail the test r1² < x² anyway.
template <class Body>
void WaveScene::ForCrossings(double start1, double start2, double step,
                             double reach,
                             const std::optional<VisibleArea>& area,
                             Body body) const {
  const double d = Separation;
  if (!std::isfinite(d)) return;  // every crossing would be non-finite
  const CountingLoop outer(start1, 0, step);
  const CountingLoop inner(start2, 0, step);
  if (outer.passes == 0 || inner.passes == 0) return;

  CountingLoop::Span outerSpan{0, outer.passes - 1};
  CountingLoop::Span innerVisible{0, inner.passes - 1};
  if (area) {
    outerSpan = VisibleSpan(outer, kSourceX, reach, *area);
    innerVisible =
        VisibleSpan(inner, kSourceX + kTwipsPerUnit * d, reach, *area);
  }
  const MeetingRange meeting(inner, start1, std::fabs(kTwipsPerUnit * d));
  for (std::int64_t i = outerSpan.first; i <= outerSpan.last; ++i) {
    const double r1 = outer.At(i);
    const CountingLoop::Span range = meeting.For(r1);
    const std::int64_t first = std::max(range.first, innerVisible.first);
    const std::int64_t last = std::min(range.last, innerVisible.last);
    for (std::int64_t k = first; k <= last; ++k) {
      if (const auto crossing = Crossing(r1, inner.At(k), d)) {
        body(crossing->first, crossing->second);
      }
    }
  }
}

PictureSummary WaveScene::Summarize(const VisibleArea& area) const {
  PictureSummary s;
  s.wavelength = Wavelength;
  s.separation = Separation;
  s.antiphase = Antiphase == 1;
  s.antinodal = ShowAntinodal == 1;
  s.nodal = ShowNodal == 1;
  s.crossings = ShowCrossings == 1;
  if (Wavelength == 0) return s;  // no frame yet
  if (s.antinodal) s.antinodalMembers = Members(s.antiphase ? 0.5 : 1);
  if (s.nodal) s.nodalMembers = Members(s.antiphase ? 1 : 0.5);
  if (!s.crossings || !(TextToNumber(form_.Text3()) >= 0)) return s;

  // The same groups as MarkCrossings; a crossing on the line of the
  // sources (y = 0) is one dot, though it is drawn twice.
  const double front = static_cast<double>(FrontRadius);
  const double w = ToSingle(-500.0 * static_cast<double>(Wavelength));
  const auto count = [&](double start1, double start2) {
    std::int64_t dots = 0;
    const auto seen = [&](double x, double y) {
      return x >= area.left && x <= area.right && y >= area.top &&
             y <= area.bottom;
    };
    ForCrossings(start1, start2, w, 0, area, [&](double x, double y) {
      dots += seen(kSourceX + x, kSourceY + y) ? 1 : 0;
      if (y != 0) dots += seen(kSourceX + x, kSourceY - y) ? 1 : 0;
    });
    return dots;
  };
  s.crestDots = count(front, front - PhaseOffset(250.0, Wavelength, Antiphase));
  s.troughDots =
      count(front - PhaseOffset(250.0, Wavelength, 1),
            front - PhaseOffset(250.0, Wavelength,
                                static_cast<std::int16_t>(1 - Antiphase)));
  return s;
}

void WaveScene::DrawCircle(double x, double y, double radius, Color color) {
  const float fx = ToSingle(x);
  const float fy = ToSingle(y);
  const float fr = ToSingle(radius);
  if (!std::isfinite(fx) || !std::isfinite(fy) || !std::isfinite(fr)) return;
  canvas_.Circle(fx, fy, fr, color);
}

void WaveScene::DrawLine(double x1, double y1, double x2, double y2,
                         Color color) {
  const float a = ToSingle(x1);
  const float b = ToSingle(y1);
  const float c = ToSingle(x2);
  const float e = ToSingle(y2);
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) ||
      !std::isfinite(e)) {
    return;
  }
  canvas_.Line(a, b, c, e, color);
}

}  // namespace wave
