// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace wave {

// Numbers to text and back without the locale, as <charconv> does. Where
// the standard library has no floating-point <charconv> (libc++ 13, which
// the browser build uses), the same results come from the C library in the
// "C" locale, which is all such a program ever has.

// A decimal number without sign (digits, an optional point and digits, an
// optional exponent), read exactly; result_out_of_range when it overflows
// or its nonzero digits round to zero.
std::errc ReadDecimal(std::string_view digits, double& value);

// The shortest text that reads back as the same value, in std::to_chars's
// form: fixed or scientific, whichever is shorter (fixed on a tie).
std::string ShortestText(double value);
std::string ShortestText(float value);
// The value rounded to `decimals` places, in fixed notation.
std::string FixedText(double value, int decimals);

// The C library's way, whatever the standard library has: compared with
// <charconv> by the tests.
namespace fallback {
std::errc ReadDecimal(std::string_view digits, double& value);
std::string ShortestText(double value);
std::string ShortestText(float value);
std::string FixedText(double value, int decimals);
}  // namespace fallback

}  // namespace wave
