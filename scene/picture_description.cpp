// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/picture_description.h"

#include "canvas/number_text.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace wave {
namespace {

using text::Arg;
using text::Catalog;
using text::Msg;

// The shortest text that reads back as the same value.
template <class Real>
std::string Number(Real value, const Catalog& words) {
  if (std::isnan(value)) return std::string(words.Text(Msg::kNumberUndefined));
  if (std::isinf(value)) {
    return std::string(words.Text(value > 0 ? Msg::kNumberInfinite
                                            : Msg::kNumberMinusInfinite));
  }
  return ShortestText(value);
}

// A ratio to two decimals, marked as about when that rounds it.
std::string Ratio(double value, const Catalog& words) {
  // From here on every double is a multiple of a quarter: nothing to round,
  // and a hundred digits would not fit a fixed-point buffer.
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
    return Number(value, words);
  }
  const double rounded = std::round(value * 100) / 100;
  std::string text = FixedText(rounded, 2);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  const bool exact = std::fabs(rounded - value) <= 1e-9 * std::fabs(value);
  return exact ? text : words.Format(Msg::kNumberAbout, {{"number", text}});
}

std::string PathDifferences(const std::vector<double>& members,
                            const Catalog& words) {
  constexpr std::size_t kSpoken = 4;  // beyond this: first three … last
  std::string text;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members.size() > kSpoken && i == kSpoken - 1) {
      text += " … ";
      i = members.size() - 1;
    } else if (i > 0) {
      text += words.Text(Msg::kListSeparator);
    }
    text += (members[i] == 0 ? "" : "±") + Number(members[i], words);
  }
  return text;
}

struct FamilyWords {
  Msg hidden, none, shown;
};

std::string Family(const FamilyWords& family, bool shown,
                   const std::vector<double>& members, const Catalog& words) {
  if (!shown) return std::string(words.Text(family.hidden));
  if (members.empty()) return std::string(words.Text(family.none));
  std::int64_t lines = 0;
  for (const double a : members) lines += a == 0 ? 1 : 2;
  return words.Format(family.shown,
                      {{"count", std::to_string(lines)},
                       {"differences", PathDifferences(members, words)}});
}

}  // namespace

std::string DescribePicture(const PictureSummary& s, const Catalog& words) {
  if (s.wavelength == 0) return std::string(words.Text(Msg::kNothingDrawn));
  std::string text =
      words.Format(s.antiphase ? Msg::kSettingsOpposite : Msg::kSettingsInPhase,
                   {{"wavelength", Number(s.wavelength, words)},
                    {"distance", Number(s.separation, words)},
                    {"ratio", Ratio(s.separation / s.wavelength, words)}});
  if (s.water == WaterView::kSurface) {
    words.Append(text, words.Text(Msg::kSurfaceShown));
  } else if (s.water == WaterView::kAmplitude) {
    words.Append(text, words.Text(Msg::kAmplitudeShown));
  }
  words.Append(text, Family({Msg::kAntinodalHidden, Msg::kAntinodalNone,
                             Msg::kAntinodalShown},
                            s.antinodal, s.antinodalMembers, words));
  words.Append(text,
               Family({Msg::kNodalHidden, Msg::kNodalNone, Msg::kNodalShown},
                      s.nodal, s.nodalMembers, words));
  if (s.crossings) {
    words.Append(text,
                 words.Format(Msg::kDotsShown,
                              {{"crests", std::to_string(s.crestDots)},
                               {"troughs", std::to_string(s.troughDots)}}));
  } else {
    words.Append(text, words.Text(Msg::kDotsHidden));
  }
  return text;
}

}  // namespace wave
