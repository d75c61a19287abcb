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
#include "scene/passes.h"
#include "scene/single_precision.h"
#include "scene/wave_geometry.h"

namespace wave {
namespace {

constexpr double kSourceX = WaveGeometry::kSourceAX;
constexpr double kSourceY = WaveGeometry::kSourceY;
constexpr double kTwipsPerUnit = WaveGeometry::kTwipsPerUnit;
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

// The wavelength a frame draws for the number typed: single precision, and
// 0 becomes 0.1. Below a tenth of a unit the fronts lie closer than a pixel
// and the work grows as 1/wavelength squared without changing the picture,
// so such a wavelength is drawn as 0.1 with its sign.
float DrawnWavelength(double typed) {
  const float lambda = ToSingle(typed);
  if (lambda == 0) return kFallback;
  if (std::fabs(lambda) < kFallback) return std::copysign(kFallback, lambda);
  return lambda;
}

// A front that a crest of the same source repaints later in the frame (same
// centre, radius and pen) cannot be seen. Crests lie every second front, so
// front k can only be crest k / 2 or the one after. Only where the canvas
// tells what it shows are such fronts left out.
class RepaintedFronts {
 public:
  RepaintedFronts(const CountingLoop& fronts, const CountingLoop& crests,
                  const std::optional<VisibleArea>& view)
      : fronts_(fronts), crests_(crests), active_(view.has_value()) {}

  bool operator()(std::int64_t k) const {
    if (!active_) return false;
    for (const std::int64_t c : {k / 2, k / 2 + 1}) {
      if (c < crests_.passes && crests_.At(c) == fronts_.At(k)) return true;
    }
    return false;
  }

 private:
  const CountingLoop& fronts_;
  const CountingLoop& crests_;
  bool active_;
};

// For each circle of A (radius r1), the passes of B's loop whose circles can
// meet it: |r1 − D| ≤ r2 ≤ r1 + D, widened by a margin far above rounding.
// Every pass when the step is not a finite negative value.
struct MeetingRange {
  MeetingRange(const CountingLoop& inner, double start1, double distance)
      : inner(inner),
        D(distance),
        margin(2 * -inner.step + 1 +
               1e-6 * (std::max(std::fabs(start1), std::fabs(inner.start)) +
                       distance)) {}

  CountingLoop::Span For(double r1) const {
    return inner.IndicesWithin(std::fabs(r1 - D) - margin, r1 + D + margin);
  }

  const CountingLoop& inner;
  double D, margin;
};

// Where A's circle r1 meets B's circle r2, as (x from A, y ≥ 0).
std::optional<std::pair<double, double>> Crossing(double r1, double r2,
                                                  double d) {
  const double x =
      (r1 * r1 - r2 * r2 + kTwipsPerUnit * kTwipsPerUnit * (d * d)) /
      (2 * kTwipsPerUnit) / d;
  if (r1 * r1 < x * x) return std::nullopt;
  return std::make_pair(x, std::sqrt(r1 * r1 - x * x));
}

}  // namespace

FrameValues::FrameValues(float wavelength, double separation,
                         std::int16_t antiphase)
    : lambda(wavelength),
      d(separation),
      xB(WaveGeometry::SourceBX(d)),
      xM(WaveGeometry::MidpointX(d)),
      h(ToSingle(-250.0 * lambda)),
      w(ToSingle(-500.0 * lambda)),
      oB(PhaseOffset(250.0, wavelength, antiphase)),
      oT(PhaseOffset(250.0, wavelength, 1)),
      oBT(PhaseOffset(250.0, wavelength,
                      static_cast<std::int16_t>(1 - antiphase))) {}

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

void WaveScene::ShowWater(WaterView view) {
  Water = view;
  RedrawFrame();
}

void WaveScene::ResetScene() {
  FrontRadius = 1000;
  ShowAntinodal = 0;
  ShowNodal = 0;
  ShowCrossings = 1;
  StepFrame();
}

void WaveScene::SetSwitch(SceneSwitch which, bool on) {
  const std::int16_t value = on ? 1 : 0;
  switch (which) {
    case SceneSwitch::kAntinodal:
      ShowAntinodal = value;
      break;
    case SceneSwitch::kNodal:
      ShowNodal = value;
      break;
    case SceneSwitch::kCrossings:
      ShowCrossings = value;
      break;
    case SceneSwitch::kAntiphase:
      if (edition_ == Edition::Six) return;
      Antiphase = value;
      form_.ShowPhase(Antiphase);
      break;
  }
}

bool WaveScene::SwitchOn(SceneSwitch which) const {
  switch (which) {
    case SceneSwitch::kAntinodal:
      return ShowAntinodal == 1;
    case SceneSwitch::kNodal:
      return ShowNodal == 1;
    case SceneSwitch::kCrossings:
      return ShowCrossings == 1;
    case SceneSwitch::kAntiphase:
      break;
  }
  return Antiphase == 1;
}

void WaveScene::StepFrame() {
  canvas_.Cls();
  canvas_.SetDrawWidth(4);
  canvas_.SetDrawStyle(kDotted);

  Wavelength = DrawnWavelength(TextToNumber(form_.Text1()));
  Separation = TextToNumber(form_.Text2());
  if (Separation == 0) Separation = 0.1;
  if (edition_ == Edition::Six) Antiphase = 0;
  const FrameValues v(Wavelength, Separation, Antiphase);

  if (Water != WaterView::kNone && std::isfinite(v.xB)) {
    canvas_.Shade({Water, kSourceX, kSourceY, v.xB, kSourceY,
                   static_cast<double>(FrontRadius + kFrontAdvance),
                   WaveGeometry::Twips(Wavelength), Antiphase == 1});
  }

  if (Antiphase == 0 && ShowAntinodal == 1) DrawHyperbolas(v, 1, kAntinodal);
  if (Antiphase == 1 && ShowAntinodal == 1) DrawHyperbolas(v, 0.5, kAntinodal);
  if (Antiphase == 0 && ShowNodal == 1) DrawHyperbolas(v, 0.5, kNodal);
  if (Antiphase == 1 && ShowNodal == 1) DrawHyperbolas(v, 1, kNodal);

  FrontRadius += kFrontAdvance;
  const double front = static_cast<double>(FrontRadius);
  const auto view = canvas_.Visible();
  canvas_.SetFillStyle(kFillHollow);

  // Fronts every half wavelength, then the crests over them.
  const Passes fronts(front, 0, v.h);
  const Passes crestsA(front, 0, v.w);
  const Passes crestsB(front - v.oB, 0, v.w);
  const RepaintedFronts repaintedA(fronts.loop(), crestsA.loop(), view);
  const RepaintedFronts repaintedB(fronts.loop(), crestsB.loop(), view);
  for (const auto [k, r] : fronts.SeenIn(view, {kSourceX, v.xB})) {
    if (!repaintedA(k)) DrawCircle(kSourceX, kSourceY, r, kFrontA);
    if (!repaintedB(k)) DrawCircle(v.xB, kSourceY, r, kFrontB);
  }
  if (edition_ == Edition::Six) {
    // One pass per radius: of two crossing crests the smaller lies on top.
    for (const auto [k, r] : crestsA.SeenIn(view, {kSourceX, v.xB})) {
      DrawCircle(kSourceX, kSourceY, r, kCrestA);
      DrawCircle(v.xB, kSourceY, r, kCrestB);
    }
  } else {
    for (const auto [k, r] : crestsA.SeenIn(view, {kSourceX})) {
      DrawCircle(kSourceX, kSourceY, r, kCrestA);
    }
    for (const auto [k, r] : crestsB.SeenIn(view, {v.xB})) {
      DrawCircle(v.xB, kSourceY, r, kCrestB);
    }
  }

  DrawCircle(kSourceX, kSourceY, kMarkRadius, kSourceMark);
  DrawCircle(v.xB, kSourceY, kMarkRadius, kSourceMark);

  if (ShowCrossings == 1) MarkCrossings(v);

  const float labelLeft = ToSingle(kSourceX - 100 + kTwipsPerUnit * v.d);
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

void WaveScene::DrawHyperbolas(const FrameValues& v, double offset,
                               Color color) {
  const double d = v.d;
  const double xM = v.xM;

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
      DrawLine(xM + kTwipsPerUnit * xp, kSourceY - kTwipsPerUnit * yp,
               xM + kTwipsPerUnit * x, kSourceY - kTwipsPerUnit * y, color);
      DrawLine(xM + kTwipsPerUnit * xp, kSourceY + kTwipsPerUnit * yp,
               xM + kTwipsPerUnit * x, kSourceY + kTwipsPerUnit * y, color);
      DrawLine(xM - kTwipsPerUnit * xp, kSourceY - kTwipsPerUnit * yp,
               xM - kTwipsPerUnit * x, kSourceY - kTwipsPerUnit * y, color);
      DrawLine(xM - kTwipsPerUnit * xp, kSourceY + kTwipsPerUnit * yp,
               xM - kTwipsPerUnit * x, kSourceY + kTwipsPerUnit * y, color);
      xp = x;
      yp = y;
    }
  });
  canvas_.SetDrawWidth(4);
  if (offset == 1) DrawLine(xM, 0, xM, 15000, color);
}

// Crest crossings: A's crests (from the front) with B's (from front − oB);
// trough crossings: A's troughs (front − oT) with B's (front − oBT). Each
// crossing is marked above and below the line of the sources.
void WaveScene::MarkCrossings(const FrameValues& v) {
  const double markerRadius = TextToNumber(form_.Text3());
  const double front = static_cast<double>(FrontRadius);
  if (DrawOnlyTheCoveringDot(v, markerRadius)) return;
  MarkGroup(v, front, front - v.oB, markerRadius, kCrestMarker);
  MarkGroup(v, front - v.oT, front - v.oBT, markerRadius, kTroughMarker);
}

// Where the canvas tells what it shows: a dot of negative or infinite
// radius shows nothing, and when the dots each cover the whole visible area
// only the last one drawn can be seen. Found from the end, that spares
// testing every pair. True when nothing more is to be drawn.
bool WaveScene::DrawOnlyTheCoveringDot(const FrameValues& v,
                                       double markerRadius) {
  const auto visible = canvas_.Visible();
  if (!visible) return false;
  if (!(markerRadius >= 0) || !std::isfinite(markerRadius)) return true;
  const Rect area{visible->left, visible->top, visible->right, visible->bottom};
  const double front = static_cast<double>(FrontRadius);
  const struct {
    double start1, start2;
    Color color;
  } groups[] = {{front - v.oT, front - v.oBT, kTroughMarker},
                {front, front - v.oB, kCrestMarker}};
  for (const auto& g : groups) {
    const auto last = LastCrossing(g.start1, g.start2, v.w);
    if (!last) continue;  // no dot in this group: look at the one before
    const Point top{kSourceX + last->first, kSourceY - last->second};
    if (markerRadius < FarthestDistance(top, area)) return false;
    canvas_.SetFillColor(g.color);
    canvas_.SetFillStyle(kFillSolid);
    DrawCircle(kSourceX + last->first, kSourceY + last->second, markerRadius,
               g.color);
    DrawCircle(top.x, top.y, markerRadius, g.color);
    return true;
  }
  return false;
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
void WaveScene::MarkGroup(const FrameValues& v, double start1, double start2,
                          double markerRadius, Color color) {
  // Where the canvas tells what it shows, only marks that can be seen: a
  // mark lies r1 from A and r2 from B, and reaches |R| around itself.
  ForCrossings(start1, start2, v.w, std::fabs(markerRadius), canvas_.Visible(),
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
    innerVisible = VisibleSpan(inner, WaveGeometry::SourceBX(d), reach, *area);
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

std::vector<double> WaveScene::LineMembers(SceneSwitch family) const {
  if (Wavelength == 0 || !SwitchOn(family)) return {};
  const bool whole = (family == SceneSwitch::kAntinodal) == (Antiphase == 0);
  return Members(whole ? 1 : 0.5);
}

PictureSummary WaveScene::Summarize(const VisibleArea& area) const {
  PictureSummary s;
  s.wavelength = Wavelength;
  s.separation = Separation;
  s.antiphase = Antiphase == 1;
  s.antinodal = ShowAntinodal == 1;
  s.nodal = ShowNodal == 1;
  s.crossings = ShowCrossings == 1;
  s.water = Water;
  if (Wavelength == 0) return s;  // no frame yet
  s.antinodalMembers = LineMembers(SceneSwitch::kAntinodal);
  s.nodalMembers = LineMembers(SceneSwitch::kNodal);
  if (!s.crossings || !(TextToNumber(form_.Text3()) >= 0)) return s;

  // The same groups as MarkCrossings; a crossing on the line of the
  // sources (y = 0) is one dot, though it is drawn twice.
  const FrameValues v(Wavelength, Separation, Antiphase);
  const double front = static_cast<double>(FrontRadius);
  const auto count = [&](double start1, double start2) {
    std::int64_t dots = 0;
    const auto seen = [&](double x, double y) {
      return x >= area.left && x <= area.right && y >= area.top &&
             y <= area.bottom;
    };
    ForCrossings(start1, start2, v.w, 0, area, [&](double x, double y) {
      dots += seen(kSourceX + x, kSourceY + y) ? 1 : 0;
      if (y != 0) dots += seen(kSourceX + x, kSourceY - y) ? 1 : 0;
    });
    return dots;
  };
  s.crestDots = count(front, front - v.oB);
  s.troughDots = count(front - v.oT, front - v.oBT);
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
