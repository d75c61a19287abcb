// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/pixels/water_field.h"

#include <algorithm>
#include <cmath>

#include "raster/pixels/span_lanes.h"
#include "raster/pixels/water_lanes.h"

namespace wave {
namespace {

// Farther than any front could need to reach a pixel of any buffer.
constexpr double kEverywhere = 1e9;
constexpr double kTau = 6.283185307179586;

double Turns(double x) { return x - std::floor(x); }

double Farthest(float cx, float cy, int width, int height) {
  const double dx = std::max<double>(std::fabs(cx), std::fabs(width - cx));
  const double dy = std::max<double>(std::fabs(cy), std::fabs(height - cy));
  return std::hypot(dx, dy);
}

constexpr int kStillSurface = 128;  // the level of height 0

}  // namespace

WaterField WaterField::Of(const WaterShade& water, double twipsPerDevicePixel) {
  WaterField f;
  f.view = water.view;
  for (int level = 0; level < kWaterLevels; ++level) {
    f.colours[static_cast<std::size_t>(level)] = WaterColour(water.view, level);
  }
  const double perTwip = 1 / twipsPerDevicePixel;
  f.ax = static_cast<float>(water.ax * perTwip);
  f.ay = static_cast<float>(water.ay * perTwip);
  f.bx = static_cast<float>(water.bx * perTwip);
  f.by = static_cast<float>(water.by * perTwip);
  if (!(water.wavelength > 0) || !std::isfinite(water.front) ||
      !(water.front >= 0)) {
    return f;  // still
  }
  f.front = std::min(water.front * perTwip, kEverywhere);
  f.turnsPerPixel = static_cast<float>(twipsPerDevicePixel / water.wavelength);
  const double turns = water.front / water.wavelength;
  f.phaseA = Turns(turns);
  f.phaseB = Turns(turns - (water.antiphase ? 0.5 : 0));
  f.antiphase = water.antiphase;
  return f;
}

bool WaterField::Settled(int width, int height) const {
  if (front < 0) return true;
  if (view != WaterView::kAmplitude) return false;
  return front >= Farthest(ax, ay, width, height) + 1 &&
         front >= Farthest(bx, by, width, height) + 1;
}

WaterField WaterField::SettledForm() const {
  WaterField f = *this;
  f.phaseA = f.phaseB = 0;
  if (f.front >= 0) f.front = kEverywhere;
  return f;
}

bool WaterField::SameGeometry(const WaterField& o) const {
  return view == o.view && ax == o.ax && ay == o.ay && bx == o.bx &&
         by == o.by && turnsPerPixel == o.turnsPerPixel &&
         antiphase == o.antiphase && colours == o.colours;
}

Reach ReachOf(double cx, double cy, double front, int y, int width) {
  const double dy = y + 0.5 - cy;
  const double across = front * front - dy * dy;
  if (!(front >= 0) || across < 0) return {};
  const double half = std::sqrt(across);
  // Centres x + 0.5 within half of cx.
  const double from = std::ceil(cx - half - 0.5);
  const double to = std::floor(cx + half - 0.5) + 1;
  return {static_cast<int>(std::clamp<double>(from, 0, width)),
          static_cast<int>(std::clamp<double>(to, 0, width))};
}

SurfaceMix MixOf(const WaterField& f, bool a, bool b) {
  // A byte is 127 per unit, a level 63.75 per unit, the sum 256 per level.
  constexpr double kScale = 63.75 * 256 / 127;
  const auto k = [](double v) {
    return static_cast<std::int16_t>(std::lround(v * kScale));
  };
  SurfaceMix mix;
  if (a) {
    mix.k[0] = k(std::cos(kTau * f.phaseA));
    mix.k[1] = k(std::sin(kTau * f.phaseA));
  }
  if (b) {
    mix.k[2] = k(std::cos(kTau * f.phaseB));
    mix.k[3] = k(std::sin(kTau * f.phaseB));
  }
  return mix;
}

namespace {

int SurfaceLevel(int sum) {
  return std::clamp(kStillSurface + ((sum + 128) >> 8), 0, 255);
}

}  // namespace

int WaterLevelAt(const WaterField& f, int x, int y) {
  const bool surface = f.view != WaterView::kAmplitude;
  if (f.front < 0) return surface ? kStillSurface : 0;
  constexpr int kWide = 1 << 30;
  const Reach a = ReachOf(f.ax, f.ay, f.front, y, kWide);
  const Reach b = ReachOf(f.bx, f.by, f.front, y, kWide);
  const bool inA = a.from <= x && x < a.to, inB = b.from <= x && x < b.to;
  const lanes::WaterRow row = lanes::RowOf(f, y);
  if (!surface) {
    if (inA != inB) return 128;
    return inA ? static_cast<int>(lanes::AmplitudeAt<lanes::Plain>(f, row, x))
               : 0;
  }
  float bytes[kPhaseBytes];
  lanes::PairAt<lanes::Plain>(f, row, false, x, bytes);
  lanes::PairAt<lanes::Plain>(f, row, true, x, bytes + kPairBytes);
  const SurfaceMix mix = MixOf(f, inA, inB);
  int sum = 0;
  for (int k = 0; k < kPhaseBytes; ++k) {
    sum += mix.k[static_cast<std::size_t>(k)] * static_cast<int>(bytes[k]);
  }
  return SurfaceLevel(sum);
}

namespace lanes {

void PhaseRowPlain(const WaterField& f, bool b, int y, int x0, int count,
                   std::int8_t* out) {
  PhaseRowWith<Plain>(f, b, y, x0, count, out);
}

void AmplitudeRowPlain(const WaterField& f, int y, int width,
                       std::uint8_t* out) {
  AmplitudeRowWith<Plain>(f, y, width, out);
}

void MixSurfacePlain(const std::int8_t* a, const std::int8_t* b, int count,
                     const SurfaceMix& mix, const std::uint32_t* colours,
                     std::uint32_t* out) {
  for (int i = 0; i < count; ++i) {
    const std::int8_t* p = a + i * kPairBytes;
    const std::int8_t* q = b + i * kPairBytes;
    out[i] = colours[SurfaceLevel(mix.k[0] * p[0] + mix.k[1] * p[1] +
                                  mix.k[2] * q[0] + mix.k[3] * q[1])];
  }
}

}  // namespace lanes

void PhaseRow(const WaterField& f, bool b, int y, int x0, int count,
              std::int8_t* out) {
  if (lanes::HasEight()) {
    lanes::PhaseRowEight(f, b, y, x0, count, out);
  } else {
    lanes::PhaseRowFour(f, b, y, x0, count, out);
  }
}

void MixSurface(const std::int8_t* a, const std::int8_t* b, int count,
                const SurfaceMix& mix, const std::uint32_t* colours,
                std::uint32_t* out) {
  if (lanes::HasEight()) {
    lanes::MixSurfaceEight(a, b, count, mix, colours, out);
  } else {
    lanes::MixSurfaceFour(a, b, count, mix, colours, out);
  }
}

void AmplitudeRow(const WaterField& f, int y, int width, std::uint8_t* out) {
  if (lanes::HasEight()) {
    lanes::AmplitudeRowEight(f, y, width, out);
  } else {
    lanes::AmplitudeRowFour(f, y, width, out);
  }
}

}  // namespace wave
