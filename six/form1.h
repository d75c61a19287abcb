// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/control_table.h"
#include "form/form_window.h"

namespace wave::six {

// The controls of sarvel6's window, as it opens.
extern const form::FormLayout kForm1;

// sarvel6's window: the shared form with its own table; no phase.
class Form1 : public form::FormWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);
};

}  // namespace wave::six
