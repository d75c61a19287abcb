// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "text/catalog.h"

#include "scene/wave_scene.h"

namespace wave {

// The two waves at a point P, by the rules the frame and the water follow:
// y_A = cos 2π(front − AP)/λ once A's front has reached P (AP ≤ front), 0
// before; y_B the same about B, its crests half a wavelength further in when
// B is in opposite phase. λ is 500 × the drawn wavelength, in twips; with a
// negative wavelength the frame draws no fronts and no wave arrives.
class ProbeWaves {
 public:
  struct At {
    bool aArrived = false, bArrived = false;
    double a = 0, b = 0;  // each −1 … 1
    double sum() const { return a + b; }
  };

  ProbeWaves(const WaveScene& scene, double xTwips, double yTwips);

  // Whether P and the waves have finite places: if not, nothing arrives.
  bool valid() const { return valid_; }
  // At the front the last frame drew, or at any other front radius.
  At Now() const { return AtFront(front_); }
  At AtFront(double front) const;
  // How far the water at P swings with the front there: 2|cos(π(BP − AP)/λ
  // + π/2·Antiphase)| once both have arrived, 1 with one, 0 with none.
  double Swing() const { return SwingAt(front_); }
  double SwingAt(double front) const;

  // The three waves over the last `periods` periods of the front's advance
  // up to now, `points` values each, oldest first: the continuous functions,
  // not what the frames sample of them.
  struct Traces {
    std::vector<float> a, b, sum;
  };
  Traces Trace(int points, double periods) const;

 private:
  double front_ = 0;
  double ap_ = 0, bp_ = 0, lambda_ = 0, shift_ = 0;
  bool valid_ = false;
};

// What the graph shows, told: a sentence of P's description.
std::string DescribeWaves(const ProbeWaves& waves,
                          const text::Catalog& words = text::Catalog::Source());
// "B の波はまだ P に届いていない" and the like; empty once both arrived.
std::string ArrivalText(const ProbeWaves::At& at,
                        const text::Catalog& words = text::Catalog::Source());

}  // namespace wave
