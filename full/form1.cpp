// SPDX-License-Identifier: GPL-3.0-or-later
#include "full/form1.h"

#include <QLabel>

namespace wave::full {
Form1::Form1(QWidget* parent)
    : form::FormWindow(Edition::Full, kForm1, parent) {
  OnClick("Command7", [this] { scene().TogglePhase(); });
}

void Form1::ShowPhase(std::int16_t antiphase) {
  label("Label7")->setText(antiphase == 1 ? QStringLiteral("逆位相")
                                          : QStringLiteral("同位相"));
}

}  // namespace wave::full
