// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/form_window.h"
#include "full/controls.h"

namespace wave::full {

// sarvel11's window: the shared form plus the phase button and its label.
class Form1 : public form::FormWindow {
  Q_OBJECT

 public:
  // `languages`: --lang's or the desktop's, best first.
  explicit Form1(const std::vector<std::string>& languages = {})
      : form::FormWindow(Edition::Full, kForm1, languages) {}
};

}  // namespace wave::full
