// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "form/control_table.h"
#include "form/form_window.h"

namespace wave::full {

// The controls of sarvel11's window, as it opens.
extern const form::FormLayout kForm1;

// sarvel11's window: the shared form plus the phase button and its label.
class Form1 : public form::FormWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  void ShowPhase(std::int16_t antiphase) override;
};

}  // namespace wave::full
