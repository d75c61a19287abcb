// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/probe_waves.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "scene/path_probe.h"
#include "scene/wave_geometry.h"

namespace wave {
namespace {

// cos 2π·(along/λ), with `along` reduced first: a front far out would
// otherwise lose the phase to rounding.
double Wave(double along, double lambda) {
  return std::cos(2 * std::numbers::pi * (std::fmod(along, lambda) / lambda));
}

}  // namespace

ProbeWaves::ProbeWaves(const WaveScene& scene, double xTwips, double yTwips)
    : front_(static_cast<double>(scene.FrontRadius)) {
  const double bx = WaveGeometry::SourceBX(scene.Separation);
  lambda_ = WaveGeometry::Twips(static_cast<double>(scene.Wavelength));
  ap_ = std::hypot(xTwips - WaveGeometry::kSourceAX,
                   yTwips - WaveGeometry::kSourceY);
  bp_ = std::hypot(xTwips - bx, yTwips - WaveGeometry::kSourceY);
  shift_ = scene.Antiphase != 0 ? lambda_ / 2 : 0;
  valid_ = lambda_ > 0 && std::isfinite(lambda_) && std::isfinite(ap_) &&
           std::isfinite(bp_);
}

ProbeWaves::At ProbeWaves::AtFront(double front) const {
  At at;
  if (!valid_) return at;
  at.aArrived = ap_ <= front;
  at.bArrived = bp_ <= front;
  if (at.aArrived) at.a = Wave(front - ap_, lambda_);
  if (at.bArrived) at.b = Wave(front - shift_ - bp_, lambda_);
  return at;
}

double ProbeWaves::SwingAt(double front) const {
  const At at = AtFront(front);
  if (at.aArrived && at.bArrived) {
    const double half = std::fmod(bp_ - ap_ + shift_, lambda_) / lambda_;
    return 2 * std::fabs(std::cos(std::numbers::pi * half));
  }
  return at.aArrived || at.bArrived ? 1 : 0;
}

ProbeWaves::Traces ProbeWaves::Trace(int points, double periods) const {
  Traces t;
  if (points < 2) return t;
  const auto n = static_cast<std::size_t>(points);
  t.a.resize(n);
  t.b.resize(n);
  t.sum.resize(n);
  const double span = valid_ ? periods * lambda_ : 0;
  for (std::size_t k = 0; k < n; ++k) {
    const double back =
        span * static_cast<double>(n - 1 - k) / static_cast<double>(n - 1);
    const At at = AtFront(front_ - back);
    t.a[k] = static_cast<float>(at.a);
    t.b[k] = static_cast<float>(at.b);
    t.sum[k] = static_cast<float>(at.sum());
  }
  return t;
}

std::string ArrivalText(const ProbeWaves::At& at, const text::Catalog& words) {
  using text::Msg;
  if (at.aArrived && at.bArrived) return {};
  if (!at.aArrived && !at.bArrived) {
    return std::string(words.Text(Msg::kNeitherArrived));
  }
  return std::string(
      words.Text(at.aArrived ? Msg::kOnlyAArrived : Msg::kOnlyBArrived));
}

std::string DescribeWaves(const ProbeWaves& waves, const text::Catalog& words) {
  using text::Msg;
  const ProbeWaves::At at = waves.Now();
  // Which has not arrived, the readout's sentence says already.
  if (!at.aArrived && !at.bArrived) {
    return std::string(words.Text(Msg::kWavesStill));
  }
  if (!at.aArrived || !at.bArrived) {
    return std::string(
        words.Text(at.aArrived ? Msg::kWavesOnlyA : Msg::kWavesOnlyB));
  }
  const double swing = waves.Swing();
  // The readout's tolerance, in swing: on a line within it the swing lies
  // within 2·cos(π·tolerance) of 2, or 2·sin(π·tolerance) of 0.
  const double turn = std::numbers::pi * kProbeTolerance;
  if (swing >= 2 * std::cos(turn)) {
    return std::string(words.Text(Msg::kWavesInStep));
  }
  if (swing <= 2 * std::sin(turn)) {
    return std::string(words.Text(Msg::kWavesOpposite));
  }
  char number[32];
  std::snprintf(number, sizeof number, "%.2f", swing);
  return words.Format(Msg::kWavesOutOfStep, {{"swing", number}});
}

}  // namespace wave
