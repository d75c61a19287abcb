// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/picture_description.h"

#include "canvas/number_text.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace wave {
namespace {

// The shortest text that reads back as the same value.
template <class Real>
std::string Number(Real value) {
  if (std::isnan(value)) return "不定";
  if (std::isinf(value)) return value > 0 ? "無限大" : "マイナス無限大";
  return ShortestText(value);
}

// A ratio to two decimals, marked 約 when that rounds it.
std::string Ratio(double value) {
  // From here on every double is a multiple of a quarter: nothing to round,
  // and a hundred digits would not fit a fixed-point buffer.
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return Number(value);
  const double rounded = std::round(value * 100) / 100;
  std::string text = FixedText(rounded, 2);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  const bool exact = std::fabs(rounded - value) <= 1e-9 * std::fabs(value);
  return exact ? text : "約 " + text;
}

std::string PathDifferences(const std::vector<double>& members) {
  constexpr std::size_t kSpoken = 4;  // beyond this: first three … last
  std::string text;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members.size() > kSpoken && i == kSpoken - 1) {
      text += " … ";
      i = members.size() - 1;
    } else if (i > 0) {
      text += "、";
    }
    text += (members[i] == 0 ? "" : "±") + Number(members[i]);
  }
  return text;
}

std::string Family(std::string_view name, bool shown,
                   const std::vector<double>& members) {
  std::string text(name);
  if (!shown) return text + "は非表示。";
  if (members.empty())
    return text + "は表示中ですが、この波長と距離では描かれません。";
  std::int64_t lines = 0;
  for (const double a : members) lines += a == 0 ? 1 : 2;
  return text + " " + std::to_string(lines) + " 本（経路差 " +
         PathDifferences(members) + " 波長）を表示中。";
}

}  // namespace

std::string DescribePicture(const PictureSummary& s) {
  if (s.wavelength == 0) {
    return "まだ何も描かれていません。駒送りを押すか、波が動き出すのを待ってく"
           "ださい。";
  }
  std::string text = "波長 " + Number(s.wavelength) + "、波源の距離 " +
                     Number(s.separation) + "（波長の " +
                     Ratio(s.separation / s.wavelength) + " 倍）、" +
                     (s.antiphase ? "逆位相。" : "同位相。");
  if (s.water == WaterView::kSurface) {
    text += "水面の高さを濃淡で表示中（明るいほど高い）。";
  } else if (s.water == WaterView::kAmplitude) {
    text += "振幅を濃淡で表示中（明るいほど大きく揺れ、暗いところは静か）。";
  }
  text += Family("腹線", s.antinodal, s.antinodalMembers);
  text += Family("節線", s.nodal, s.nodalMembers);
  if (s.crossings) {
    text += "山と山の重なり " + std::to_string(s.crestDots) +
            " 点、谷と谷の重なり " + std::to_string(s.troughDots) + " 点。";
  } else {
    text += "山と谷の点は非表示。";
  }
  return text;
}

}  // namespace wave
