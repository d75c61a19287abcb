// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "scene/wave_scene.h"
#include "text/catalog.h"

namespace wave {

// A point P the learner places on the picture, read against the rule the
// lesson comes down to: the waves reinforce where |AP − BP| is a whole
// number of wavelengths (mλ) and cancel where it is a whole number and a
// half ((m + ½)λ); B in opposite phase swaps the two.
struct ProbeReading {
  enum class Kind {
    kReading,       // ap, bp, difference, verdict and m hold
    kNoFrame,       // nothing drawn yet
    kNoWavelength,  // the wavelength drawn is not finite
    kNoSeparation,  // B's place is not finite
    kBeyondReach,   // P over a million wavelengths from a source
  };
  enum class Verdict { kReinforce, kCancel, kBetween };

  Kind kind = Kind::kNoFrame;
  double ap = 0, bp = 0, difference = 0;  // in wavelengths
  Verdict verdict = Verdict::kBetween;
  bool onAntinodal = false;  // on the line drawn as 腹線 (else 節線)
  std::int64_t m = 0;        // its order
  // Whether each source's front has reached P by the last frame.
  bool aArrived = false, bArrived = false;
};

// How far, in wavelengths, |AP − BP| may lie from mλ or (m + ½)λ and still
// read as on that line: a click near a drawn line reads as on it.
inline constexpr double kProbeTolerance = 0.05;

// P at (x, y) twips, against the sources and the wavelength of the last
// frame (the wavelength after the scene's own rules for zero and tiny
// values; A at (4000, 4000), B at (4000 + 500·d, 4000)).
ProbeReading ReadProbe(const WaveScene& scene, double xTwips, double yTwips);

// The reading in the catalog's words, values to two places; in Japanese,
// 「AP = 5.00λ　BP = 3.00λ　|AP − BP| = 2.00λ → 強め合う（腹線 m = 2）」;
// before both waves have arrived, what will happen once they have
// (「→ 両方届くと強め合う…」) and on a second line which has not; what
// cannot be read, said plainly.
std::string DescribeProbe(const ProbeReading& reading,
                          const text::Catalog& words = text::Catalog::Source());
// The same as a sentence of the picture's description: 「点 P: AP = …」.
std::string ProbeSentence(const ProbeReading& reading,
                          const text::Catalog& words = text::Catalog::Source());

}  // namespace wave
