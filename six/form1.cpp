// SPDX-License-Identifier: GPL-3.0-or-later
#include "six/form1.h"

namespace wave::six {
Form1::Form1(QWidget* parent)
    : form::FormWindow(Edition::Six, kForm1, parent) {}

}  // namespace wave::six
