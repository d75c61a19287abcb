// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/path_probe.h"

#include <cmath>
#include <cstdio>

#include "scene/probe_waves.h"
#include "scene/wave_geometry.h"

namespace wave {
namespace {

constexpr double kSourceX = WaveGeometry::kSourceAX;
constexpr double kSourceY = WaveGeometry::kSourceY;

std::string TwoPlaces(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

ProbeReading ReadProbe(const WaveScene& scene, double xTwips, double yTwips) {
  ProbeReading r;
  if (scene.Wavelength == 0) return r;  // no frame yet
  const double lambda = std::fabs(static_cast<double>(scene.Wavelength));
  if (!std::isfinite(lambda)) {
    r.kind = ProbeReading::Kind::kNoWavelength;
    return r;
  }
  const double bx = WaveGeometry::SourceBX(scene.Separation);
  if (!std::isfinite(bx)) {
    r.kind = ProbeReading::Kind::kNoSeparation;
    return r;
  }
  const double wave = WaveGeometry::Twips(lambda);
  r.ap = std::hypot(xTwips - kSourceX, yTwips - kSourceY) / wave;
  r.bp = std::hypot(xTwips - bx, yTwips - kSourceY) / wave;
  // Far from both sources the difference is that of two large numbers: it
  // is taken from (AP² − BP²) / (AP + BP) instead, exact to the last bits.
  const double sum = r.ap + r.bp;
  const double ax = (xTwips - kSourceX) / wave, bxw = (xTwips - bx) / wave;
  r.difference = sum > 0 ? std::fabs((ax - bxw) * (ax + bxw) / sum) : 0;
  // Beyond a million wavelengths two places mean nothing, and the text
  // would run to hundreds of digits.
  constexpr double kFarthest = 1e6;
  if (!(r.ap <= kFarthest) || !(r.bp <= kFarthest) ||
      !std::isfinite(r.difference)) {
    r.kind = ProbeReading::Kind::kBeyondReach;
    return r;
  }
  r.kind = ProbeReading::Kind::kReading;
  const ProbeWaves::At now = ProbeWaves(scene, xTwips, yTwips).Now();
  r.aArrived = now.aArrived;
  r.bArrived = now.bArrived;
  const double whole = std::round(r.difference);
  const double half = std::floor(r.difference) + 0.5;
  const bool inPhase = scene.Antiphase == 0;
  if (std::fabs(r.difference - whole) <= kProbeTolerance) {
    r.onAntinodal = inPhase;
    r.m = static_cast<std::int64_t>(whole);
  } else if (std::fabs(r.difference - half) <= kProbeTolerance) {
    r.onAntinodal = !inPhase;
    r.m = static_cast<std::int64_t>(std::floor(r.difference));
  } else {
    r.verdict = ProbeReading::Verdict::kBetween;
    return r;
  }
  r.verdict = r.onAntinodal ? ProbeReading::Verdict::kReinforce
                            : ProbeReading::Verdict::kCancel;
  return r;
}

std::string DescribeProbe(const ProbeReading& r, const text::Catalog& words) {
  using text::Msg;
  switch (r.kind) {
    case ProbeReading::Kind::kNoFrame:
      return std::string(words.Text(Msg::kProbeNoFrame));
    case ProbeReading::Kind::kNoWavelength:
      return std::string(words.Text(Msg::kProbeNoWavelength));
    case ProbeReading::Kind::kNoSeparation:
      return std::string(words.Text(Msg::kProbeNoSeparation));
    case ProbeReading::Kind::kBeyondReach:
      return std::string(words.Text(Msg::kProbeBeyondReach));
    case ProbeReading::Kind::kReading:
      break;
  }
  std::string text = words.Format(Msg::kProbeDistances,
                                  {{"ap", TwoPlaces(r.ap)},
                                   {"bp", TwoPlaces(r.bp)},
                                   {"difference", TwoPlaces(r.difference)}});
  ProbeWaves::At arrived;
  arrived.aArrived = r.aArrived;
  arrived.bArrived = r.bArrived;
  const std::string arrival = ArrivalText(arrived, words);
  std::string verdict;
  switch (r.verdict) {
    case ProbeReading::Verdict::kReinforce:
      verdict =
          words.Format(Msg::kProbeReinforce, {{"m", std::to_string(r.m)}});
      break;
    case ProbeReading::Verdict::kCancel:
      verdict = words.Format(Msg::kProbeCancel, {{"m", std::to_string(r.m)}});
      break;
    case ProbeReading::Verdict::kBetween:
      verdict = words.Text(Msg::kProbeBetween);
      break;
  }
  if (arrival.empty()) return text + verdict;
  return text + words.Format(Msg::kProbeOnceBoth, {{"verdict", verdict}}) +
         "\n" + arrival;
}

std::string ProbeSentence(const ProbeReading& reading,
                          const text::Catalog& words) {
  std::string text = DescribeProbe(reading, words);
  if (reading.kind != ProbeReading::Kind::kReading) return text;
  // The readout's lines are the description's sentences.
  const std::string_view stop = words.Text(text::Msg::kSentenceBreak);
  for (std::size_t at = text.find('\n'); at != std::string::npos;
       at = text.find('\n', at)) {
    text.replace(at, 1, stop);
  }
  return words.Format(text::Msg::kProbeSentence, {{"reading", text}});
}

}  // namespace wave
