// SPDX-License-Identifier: GPL-3.0-or-later
// TextToNumber on any bytes: it must not throw, must read only the number at
// the start of the text, and must agree with a strict parse of that number
// (full-width forms taken as their ASCII ones).
#include <cerrno>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "canvas/text_to_number.h"

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

// The text with each full-width digit, sign, point, E/e and ideographic space
// (U+FF10-FF19, FF0B, FF0D, FF0E, FF25, FF45, U+3000) replaced by its ASCII
// form, decoded from the code points rather than matched as bytes.
std::string Narrow(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = [&](std::size_t k) {
      return static_cast<unsigned char>(s[i + k]);
    };
    if (i + 2 < s.size() && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 &&
        (b(2) & 0xC0) == 0x80) {
      const unsigned cp =
          (b(0) & 0x0Fu) << 12 | (b(1) & 0x3Fu) << 6 | (b(2) & 0x3Fu);
      char ascii = 0;
      if (cp >= 0xFF10 && cp <= 0xFF19)
        ascii = static_cast<char>('0' + cp - 0xFF10);
      if (cp == 0xFF0B || cp == 0xFF0D || cp == 0xFF0E || cp == 0xFF25 ||
          cp == 0xFF45) {
        ascii =
            static_cast<char>(cp - 0xFEE0);  // the full-width block's offset
      }
      if (cp == 0x3000) ascii = ' ';
      if (ascii != 0) {
        out += ascii;
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// Length of the longest prefix in the grammar: blanks, sign, digits with an
// optional point, optional exponent. Written apart from the scanner under
// test, as plainly as the grammar reads.
std::size_t NumberPrefix(std::string_view s, std::size_t& start) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t digitsFrom = i;
  while (i < s.size() && Digit(s[i])) ++i;
  bool digits = i > digitsFrom;
  if (i < s.size() && s[i] == '.') {
    std::size_t j = i + 1;
    while (j < s.size() && Digit(s[j])) ++j;
    if (digits || j > i + 1) {
      digits = true;
      i = j;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && Digit(s[j])) {
      while (j < s.size() && Digit(s[j])) ++j;
      i = j;
    }
  }
  return i;
}

[[noreturn]] void Fail(const char* what, std::string_view text, double got,
                       double want) {
  std::fprintf(stderr, "%s: got %.17g, want %.17g for %zu bytes\n", what, got,
               want, text.size());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::setlocale(LC_NUMERIC, "C");
  const std::string_view typed(reinterpret_cast<const char*>(data), size);
  const double got = wave::TextToNumber(typed);
  const std::string narrowed = Narrow(typed);
  const std::string_view text = narrowed;

  std::size_t start = 0;
  const std::size_t end = NumberPrefix(text, start);
  if (end == 0) {
    if (got != 0 || std::signbit(got)) Fail("no number", text, got, 0);
    return 0;
  }
  // Only the prefix counts: the same number without what follows it.
  const std::string prefix(text.substr(0, end));
  const double again = wave::TextToNumber(prefix);
  if (!(again == got) && !(std::isnan(again) && std::isnan(got))) {
    Fail("prefix", text, got, again);
  }
  // strtod reads exactly this grammar for such a prefix (no hex, no inf:
  // the prefix has neither).
  const std::string number = prefix.substr(start);
  errno = 0;
  char* stop = nullptr;
  const double want = std::strtod(number.c_str(), &stop);
  if (stop != number.c_str() + number.size()) {
    Fail("strict parse stopped early", text, got, want);
  }
  if (std::isnan(got)) Fail("NaN", text, got, want);
  // Below the normal range either zero or the rounded subnormal is right.
  if (std::fabs(want) < DBL_MIN) {
    if (got != 0 && got != want) Fail("underflow", text, got, want);
    return 0;
  }
  if (got != want) Fail("value", text, got, want);
  return 0;
}
