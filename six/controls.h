// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/control_table.h"

namespace wave::six {

// The window of sarvel6 as laid out at load: the window on the desktop and
// the page in the browser are both built from it.
extern const form::FormLayout kForm1;

}  // namespace wave::six
