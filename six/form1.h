// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/form_window.h"
#include "six/controls.h"

namespace wave::six {

// sarvel6's window: the shared form with its own table; no phase.
class Form1 : public form::FormWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr)
      : form::FormWindow(Edition::Six, kForm1, parent) {}
};

}  // namespace wave::six
