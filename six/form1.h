// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/form_window.h"
#include "six/controls.h"

namespace wave::six {

// sarvel6's window: the shared form with its own table; no phase.
class Form1 : public form::FormWindow {
  Q_OBJECT

 public:
  // `languages`: --lang's or the desktop's, best first.
  explicit Form1(const std::vector<std::string>& languages = {})
      : form::FormWindow(Edition::Six, kForm1, languages) {}
};

}  // namespace wave::six
