// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace wave {

// How many logical pixels of a button's caption stand outside the area its
// style gives the label: 0 when the caption fits.
inline int CaptionOverflow(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  const QRect area = button.style()->subElementRect(
      QStyle::SE_PushButtonContents, &option, &button);
  const int ink =
      QFontMetrics(button.font()).tightBoundingRect(button.text()).width();
  return std::max(0, ink - area.width());
}

}  // namespace wave
