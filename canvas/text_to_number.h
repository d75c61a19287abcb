// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace wave {

// The decimal number at the start of a UTF-8 text, 0 when there is none.
// Leading spaces and tabs are skipped; then an optional sign, digits with an
// optional point, and an optional exponent (E or e, optional sign, digits).
// Reading stops at the first character that cannot continue the number.
// The full-width digits, signs, point and E/e and the ideographic space
// read exactly as their ASCII forms; no other character does. The point is
// the separator whatever the locale. A magnitude beyond the
// double range gives infinity of that sign; one below it gives zero.
double TextToNumber(std::string_view text);

}  // namespace wave
