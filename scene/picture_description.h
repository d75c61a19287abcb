// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "scene/wave_scene.h"
#include "text/catalog.h"

namespace wave {

// The picture in sentences (UTF-8), as a screen reader reads it; in
// Japanese:
// 「波長 2、波源の距離 6（波長の 3 倍）、同位相。腹線 7 本（経路差 0、±1、
// ±2、±3 波長）を表示中。節線は非表示。山と山の重なり 12 点、谷と谷の重なり
// 10 点。」 A long list of path differences is cut to its first three and its
// last, so the sentence stays one a listener can follow.
std::string DescribePicture(
    const PictureSummary& summary,
    const text::Catalog& words = text::Catalog::Source());

}  // namespace wave
