// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "form/form_window.h"
#include "full/controls.h"

namespace wave::full {

// sarvel11's window: the shared form plus the phase button and its label.
class Form1 : public form::FormWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  void ShowPhase(std::int16_t antiphase) override;
};

}  // namespace wave::full
