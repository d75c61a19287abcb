// TextToNumber on any bytes: it must not throw, must read only the number at
// the start of the text, and must agree with a strict parse of that number.
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
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double got = wave::TextToNumber(text);

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
