// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wave::window {

// A prepared picture as a link carries it, in the address's fragment:
// "wavelength=1&distance=4&dots=100&antinodal=1&nodal=0&crossings=1&
// antiphase=0&speed=800&surface=0&lang=en", encoded as a form's fields are
// (application/x-www-form-urlencoded). Every field may be missing.
struct SetupLink {
  // As typed into the boxes, at most kLongestText characters each.
  std::optional<std::string> wavelength, distance, dots;
  std::optional<bool> antinodal, nodal, crossings, antiphase;
  std::optional<double> speedMs;  // a finite number, not yet bounded
  // The water shown: 0 none, 1 the surface, 2 its amplitude.
  std::optional<int> surface;
  // The language chosen, as a tag ("en"); a short one, not yet known.
  std::optional<std::string> lang;

  static constexpr std::size_t kLongestText = 200;
};

// Reads a fragment (with or without its '#'). Nonsense is read leniently:
// an unknown field is passed over, a switch is on only for "1", a speed
// that is not a number is missing, a water view other than 0, 1 or 2 is
// missing, a bad escape stays as written.
SetupLink ReadSetupLink(std::string_view fragment);

// The fields that are set, in the order above, without '#'.
std::string WriteSetupLink(const SetupLink& link);

}  // namespace wave::window
