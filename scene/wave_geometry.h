// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace wave {

// Where the picture stands, in twips of the client area (x right, y down):
// one length unit, in which wavelength and distance are typed, is 500
// twips; source A sits at (4000, 4000), source B on the same line d units
// to its right, and the line families are centred on their midpoint.
struct WaveGeometry {
  static constexpr double kTwipsPerUnit = 500;
  static constexpr double kSourceAX = 4000;
  static constexpr double kSourceY = 4000;

  static constexpr double SourceBX(double separation) {
    return kSourceAX + kTwipsPerUnit * separation;
  }
  static constexpr double MidpointX(double separation) {
    return kSourceAX + kTwipsPerUnit / 2 * separation;
  }
  static constexpr double Twips(double units) { return kTwipsPerUnit * units; }
};

}  // namespace wave
